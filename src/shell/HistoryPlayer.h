#pragma once

#include "document/DataToSend.h"
#include "history/HistoryReplay.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace ombrix::shell {

// A text of the play back, translated.
QString PlaybackText(const char* text);

// Plays a checked history back one entry at a time: presses an entry's keys,
// waits until the worker took its code from the one slot and a send ended (so
// no code is ever stored over another), rests for the pause, then goes on. It
// keeps no timer: whoever drives it calls Advance with the time.
class HistoryPlayer {
public:
    using Clock = std::chrono::steady_clock;
    // Longest wait for one code to go out before the play back gives up.
    static constexpr std::chrono::milliseconds kSendTimeout = document::kKeySendTimeout;

    // How many codes the worker has sent and failed to send so far, and
    // whether a code still waits in the slot.
    struct KeyCounts {
        std::uint32_t sent = 0;
        std::uint32_t failed = 0;
        bool pending = false;
    };
    struct Calls {
        std::function<void(const history::ReplayStep& step)> press;
        std::function<KeyCounts()> keyCounts;
        // Entry `entry` (from 1) of `count` is being played.
        std::function<void(std::size_t entry, std::size_t count)> progress;
        // The play back ended: how, in words for the status bar.
        std::function<void(const QString& outcome)> finished;
    };

    explicit HistoryPlayer(Calls calls);

    // Presses the first entry now; what played before ends without a word.
    void Start(std::vector<history::ReplayStep> steps, std::chrono::milliseconds pause,
               Clock::time_point now);
    // The person stopped it.
    void Stop();
    void Advance(Clock::time_point now);
    bool Playing() const { return !steps_.empty(); }

private:
    void pressCurrent(Clock::time_point now);
    void finish(const QString& outcome);

    Calls calls_;
    std::vector<history::ReplayStep> steps_;
    std::chrono::milliseconds pause_{0};
    std::size_t current_ = 0;
    bool waitingForCode_ = false;
    KeyCounts before_;
    Clock::time_point since_; // when the code was handed over, or the pause began
};

} // namespace ombrix::shell
