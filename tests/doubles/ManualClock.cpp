#include "doubles/ManualClock.h"

namespace ombrix::link {

Ticks ManualClock::ticks() const {
    std::lock_guard lock(mutex_);
    return now_;
}

void ManualClock::sleepFor(std::chrono::milliseconds duration) {
    advance(duration);
}

void ManualClock::advance(std::chrono::milliseconds duration) {
    std::lock_guard lock(mutex_);
    now_ += static_cast<Ticks>(duration.count());
}

} // namespace ombrix::link
