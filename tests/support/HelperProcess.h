#pragma once
// A program the test needs beside it (a compositor, a notification area), stopped when the
// test is done with it.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vireo {

class HelperProcess {
public:
    explicit HelperProcess(const QString& program, const QStringList& args = {}) { process_.start(program, args); }
    ~HelperProcess() { Stop(); }
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    bool Started() { return process_.waitForStarted(3000); }
    void Stop() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(1000);
    }

private:
    QProcess process_;
};

}  // namespace vireo
