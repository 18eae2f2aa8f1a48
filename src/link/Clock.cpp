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

} // namespace ombrix::link
