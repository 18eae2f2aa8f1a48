// The key handling's timers, run by hand: a test says when one fires.
#pragma once

#include "shell/KeyHandler.h"
#include "shell/KeyTimers.h"

#include <chrono>
#include <gtest/gtest.h>
#include <map>

namespace ombrix::shell::testing {

class ManualKeyTimers : public KeyTimers {
public:
    explicit ManualKeyTimers(KeyHandler& keys) : keys_(keys) { keys_.UseTimers(*this); }

    void Start(KeyTimer timer, std::chrono::milliseconds period) override {
        periods_[timer] = period;
    }
    void Stop(KeyTimer timer) override { periods_.erase(timer); }
    bool Running(KeyTimer timer) const { return periods_.contains(timer); }
    std::chrono::milliseconds Period(KeyTimer timer) const { return periods_.at(timer); }

    // The timer's time is up: it fires, and stops unless it repeats. Only a
    // running timer can: anything else is a test's mistake.
    void Fire(KeyTimer timer) {
        if (!Running(timer)) {
            ADD_FAILURE() << "timer " << static_cast<int>(timer) << " fired but is not running";
            return;
        }
        if (timer != KeyTimer::Highlight) {
            Stop(timer);
        }
        keys_.OnTimer(timer);
    }

private:
    KeyHandler& keys_;
    std::map<KeyTimer, std::chrono::milliseconds> periods_;
};

} // namespace ombrix::shell::testing
