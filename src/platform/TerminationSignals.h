#pragma once
// SIGTERM, SIGINT and SIGHUP turned into a Qt signal on the user-interface thread (self-pipe),
// so a logout or kill ends the clock through its normal shutdown and its settings are saved.

#include <QObject>

class QSocketNotifier;

namespace vireo {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // Installs the handlers; false when the platform has none or the pipe cannot be made.
    bool Install();

signals:
    void TerminationRequested(int signalNumber);

private:
    void readSignal();
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vireo
