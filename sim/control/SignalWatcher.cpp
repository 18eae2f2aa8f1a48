#include "control/SignalWatcher.h"

#include <csignal>
#include <stdexcept>
#include <sys/signalfd.h>
#include <unistd.h>

namespace ombrix::sim {

namespace {

sigset_t terminationSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

void SignalWatcher::blockTerminationSignals() {
    const sigset_t blocked = terminationSignals();
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
}

SignalWatcher::SignalWatcher(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
    const sigset_t blocked = terminationSignals();
    signalFd_ = FileDescriptor(::signalfd(-1, &blocked, SFD_NONBLOCK | SFD_CLOEXEC));
    if (!signalFd_.valid()) {
        throw std::runtime_error("cannot watch SIGINT and SIGTERM");
    }
    readable_ = std::make_unique<QSocketNotifier>(static_cast<qintptr>(signalFd_.get()),
                                                  QSocketNotifier::Read);
    QObject::connect(readable_.get(), &QSocketNotifier::activated, readable_.get(),
                     [this] { readSignal(); });
}

void SignalWatcher::readSignal() {
    signalfd_siginfo info{};
    if (::read(signalFd_.get(), &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        onSignal_();
    }
}

} // namespace ombrix::sim
