#pragma once
// One clock per user. The first start takes a lock that the system arbitrates (held for the
// program's life; a holder that died leaves a lock others take over), and only the holder
// listens on a local socket beside it. A later start finds the lock held, asks the holder
// through the socket to bring its clock forward, and ends without touching anything.
//
// Both live in a folder only this user can enter: $XDG_RUNTIME_DIR when it is usable, else a
// folder of mode 0700 that the clock creates in the temporary folder and checks is the
// user's own. A socket or file of another user is never taken for a running clock, a
// message from another user is not acted on, and a message is a short line: anything longer
// is dropped with its connection.

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace vireo {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // key names the instance (the lock and the socket).
    explicit SingleInstance(const QString& key = QStringLiteral("Vireo"), QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Claim {
        First,        // this process holds the lock and listens: start the clock
        Running,      // another clock of this user runs (and was asked to come forward)
        Unavailable,  // no private folder or no lock could be had: run without the rule
    };
    // Takes the lock, or reaches the clock that holds it. waitMs bounds how long a holder
    // that is still starting may take to listen.
    Claim ClaimOrNotify(int waitMs = 3000);

    // The folder of the lock and the socket; empty when none is usable.
    QString Folder() const { return folder_; }
    QString ServerName() const;
    bool Listening() const;

    // The longest message taken, in bytes, newline included.
    static constexpr int kMaxMessage = 256;

signals:
    // A later start asked this instance to come forward.
    void ActivationRequested();

private:
    bool Listen();
    bool Notify(int waitMs);
    void acceptConnections();
    void Read(QLocalSocket* socket);

    QString key_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

// The folder for the lock and socket: $XDG_RUNTIME_DIR if it is a folder of this user's that
// others cannot enter, else <temp>/<key>-<uid>, created with mode 0700 and checked to be a
// real folder of this user's with that mode. Empty when neither can be had.
QString PrivateRuntimeFolder(const QString& key);

}  // namespace vireo
