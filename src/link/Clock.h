#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace ombrix::link {

// Millisecond tick count that wraps at 32 bits, as the link's time-outs are
// computed with wrapping unsigned subtraction.
using Ticks = std::uint32_t;

// Time source for every pause and time-out of the link and the session, so
// tests can run multi-second time-outs instantly.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Ticks ticks() const = 0;
    virtual void sleepFor(std::chrono::milliseconds duration) = 0;
};

// Elapsed milliseconds between two tick counts, correct across the 32-bit wrap.
constexpr Ticks elapsedSince(Ticks start, Ticks now) {
    return static_cast<Ticks>(now - start);
}

class SystemClock final : public Clock {
public:
    Ticks ticks() const override;
    void sleepFor(std::chrono::milliseconds duration) override;
};

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
