#pragma once

#include "link/FileDescriptor.h"

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace ombrix::sim {

// Turns SIGINT and SIGTERM into a call in the event loop, so the simulator stops
// the ordinary way and removes its socket files. The signals are taken through a
// signal descriptor: no handler runs, nothing is shared with one.
class SignalWatcher {
public:
    // Blocks the two signals in the calling thread and every thread started after;
    // call first thing in main.
    static void blockTerminationSignals();

    // Throws std::runtime_error when the signal descriptor cannot be created.
    explicit SignalWatcher(std::function<void()> onSignal);

private:
    void readSignal();

    FileDescriptor signalFd_;
    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> readable_;
};

} // namespace ombrix::sim
