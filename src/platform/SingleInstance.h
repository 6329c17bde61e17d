#pragma once
// One clock per user. The first instance listens on a per-user local socket; a later start
// connects, asks it to bring its last active window forward, and ends without touching anything.

#include <QObject>
#include <QString>

class QLocalServer;

namespace vireo {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // key names the instance; the socket lives in $XDG_RUNTIME_DIR when set (per user), else in
    // the temporary folder with the user id in its name.
    explicit SingleInstance(const QString& key = QStringLiteral("Vireo"), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another instance answered and was asked to come forward: the caller must end.
    // Creates nothing in that case.
    bool NotifyRunningInstance(int timeoutMs = 1000);

    // Starts listening as the first instance. False when the socket cannot be created (the
    // clock then runs all the same, only without the rule).
    bool Listen();

    QString ServerName() const { return serverName_; }

signals:
    // A later start asked this instance to come forward.
    void ActivationRequested();

private:
    void acceptConnections();

    QString serverName_;
    QLocalServer* server_ = nullptr;
};

}  // namespace vireo
