#pragma once

#include "link/Clock.h"

#include <atomic>
#include <chrono>

namespace ombrix::document {

// A manual-reset flag one thread sets and others poll, standing in for a
// platform event. Waiting polls through the clock, so tests can run long
// bounds on a manual clock.
class Event {
public:
    void set() { state_.store(true, std::memory_order_release); }
    void reset() { state_.store(false, std::memory_order_release); }
    bool isSet() const { return state_.load(std::memory_order_acquire); }
    // True as soon as the event is set; false when `timeout` passed first.
    bool waitFor(link::Clock& clock, std::chrono::milliseconds timeout) const;

private:
    std::atomic<bool> state_{false};
};

} // namespace ombrix::document
