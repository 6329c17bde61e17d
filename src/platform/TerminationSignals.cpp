#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace vireo {

#ifdef Q_OS_UNIX
namespace {
int signalPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int sig) {
    const unsigned char byte = static_cast<unsigned char>(sig);
    // Only async-signal-safe calls here; a full pipe just drops the duplicate.
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
}
}  // namespace
#endif

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {}

TerminationSignals::~TerminationSignals() {
#ifdef Q_OS_UNIX
    if (notifier_) {
        struct sigaction sa {};
        sa.sa_handler = SIG_DFL;
        sigemptyset(&sa.sa_mask);
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &sa, nullptr);
    }
#endif
}

bool TerminationSignals::Install() {
#ifdef Q_OS_UNIX
    if (notifier_) return true;
    if (signalPipe[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return false;
        ::fcntl(signalPipe[1], F_SETFL, ::fcntl(signalPipe[1], F_GETFL) | O_NONBLOCK);
    }
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);

    struct sigaction sa {};
    sa.sa_handler = onTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &sa, nullptr);
    return true;
#else
    return false;
#endif
}

void TerminationSignals::readSignal() {
#ifdef Q_OS_UNIX
    unsigned char byte = 0;
    if (::read(signalPipe[0], &byte, 1) == 1) emit TerminationRequested(byte);
#endif
}

}  // namespace vireo
