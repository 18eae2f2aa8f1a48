#pragma once

#include <chrono>
#include <cstdint>

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

} // namespace ombrix::link
