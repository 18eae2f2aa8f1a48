#pragma once

#include <chrono>

namespace ombrix::shell {

// How long the key rings last: a period in steps of the highlight timer. A
// cyclic blink wraps round and stays alive while keys are held or a sequence
// waits; a plain one ends once the period has passed.
class HighlightBlink {
public:
    static constexpr std::chrono::milliseconds kStep{250};

    HighlightBlink(std::chrono::milliseconds period, bool cyclic)
        : period_(period), cyclic_(cyclic) {}

    // One tick of the highlight timer.
    void Advance();
    bool Alive() const { return elapsed_ < period_; }

private:
    std::chrono::milliseconds period_;
    std::chrono::milliseconds elapsed_{0};
    bool cyclic_;
};

} // namespace ombrix::shell
