#pragma once

#include "link/Clock.h"

#include <chrono>
#include <mutex>

namespace ombrix::link {

// A clock that only moves when told to; sleeping advances it at once.
class ManualClock final : public Clock {
public:
    explicit ManualClock(Ticks start = 0) : now_(start) {}
    Ticks ticks() const override;
    void sleepFor(std::chrono::milliseconds duration) override;
    void advance(std::chrono::milliseconds duration);

private:
    mutable std::mutex mutex_;
    Ticks now_;
};

} // namespace ombrix::link
