#include "link/Clock.h"

#include <thread>

namespace ombrix::link {

Ticks SystemClock::ticks() const {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
    return static_cast<Ticks>(ms);
}

void SystemClock::sleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

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
