#pragma once

#include <chrono>

namespace ombrix::shell {

// The timers of the key handling.
enum class KeyTimer {
    Highlight = 1, // the rings' blink steps; repeats until stopped
    Hold = 2,      // a key held long enough for its hold code; fires once
    Caption = 3,   // the end of the key caption; fires once
};

// Where the key handling's timers run: the event loop's timers in the window,
// a hand-driven clock in tests. Starting a running timer starts it afresh.
class KeyTimers {
public:
    virtual ~KeyTimers() = default;
    virtual void Start(KeyTimer timer, std::chrono::milliseconds period) = 0;
    virtual void Stop(KeyTimer timer) = 0;
};

} // namespace ombrix::shell
