#include "shell/HistoryPlayer.h"

#include <QCoreApplication>

namespace ombrix::shell {

QString PlaybackText(const char* text) {
    return QCoreApplication::translate("HistoryPlayback", text);
}

HistoryPlayer::HistoryPlayer(Calls calls) : calls_(std::move(calls)) {}

void HistoryPlayer::Start(std::vector<history::ReplayStep> steps, std::chrono::milliseconds pause,
                          Clock::time_point now) {
    steps_ = std::move(steps);
    pause_ = pause;
    current_ = 0;
    if (Playing()) {
        pressCurrent(now);
    }
}

// An entry whose code was handed over still goes out: it counts as played.
void HistoryPlayer::Stop() {
    if (Playing()) {
        finish(PlaybackText("Play back stopped after %1 of %2 entries.")
                   .arg(current_ + (waitingForCode_ ? 1 : 0))
                   .arg(steps_.size()));
    }
}

void HistoryPlayer::Advance(Clock::time_point now) {
    if (!Playing()) {
        return;
    }
    if (!waitingForCode_) {
        if (now - since_ >= pause_) {
            pressCurrent(now);
        }
        return;
    }
    // A send that ends while the code still waits in the slot is another's.
    const KeyCounts counts = calls_.keyCounts();
    const bool taken = !counts.pending;
    if (taken && counts.sent != before_.sent) {
        waitingForCode_ = false;
        since_ = now;
        if (++current_ == steps_.size()) {
            finish(PlaybackText("Played back %1 entries.").arg(steps_.size()));
        } else if (pause_.count() == 0) {
            pressCurrent(now);
        }
    } else if (taken && counts.failed != before_.failed) {
        finish(PlaybackText("Play back stopped: the instrument did not take entry %1 (line %2).")
                   .arg(current_ + 1)
                   .arg(steps_[current_].line));
    } else if (now - since_ >= kSendTimeout) {
        finish(PlaybackText("Play back stopped: entry %1 (line %2) was not sent within %3 s.")
                   .arg(current_ + 1)
                   .arg(steps_[current_].line)
                   .arg(std::chrono::duration_cast<std::chrono::seconds>(kSendTimeout).count()));
    }
}

void HistoryPlayer::pressCurrent(Clock::time_point now) {
    before_ = calls_.keyCounts();
    waitingForCode_ = true;
    since_ = now;
    calls_.progress(current_ + 1, steps_.size());
    calls_.press(steps_[current_]);
}

void HistoryPlayer::finish(const QString& outcome) {
    steps_.clear();
    waitingForCode_ = false;
    calls_.finished(outcome);
}

} // namespace ombrix::shell
