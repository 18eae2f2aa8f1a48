#include "shell/PcKeyTracker.h"

#include <QtCore/qnamespace.h>

namespace ombrix::shell {

bool IsModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

PcKeyTracker::PcKeyTracker(KeyDown keyDown) : keyDown_(std::move(keyDown)) {}

std::vector<PcKeyTracker::Output> PcKeyTracker::Pressed(const Event& event,
                                                        Clock::time_point /*now*/) {
    std::vector<Output> out;
    if (event.autoRepeat || isRepeatOfCommitted(event)) {
        return out;
    }
    if (const auto found = down_.find(event.key); found != down_.end()) {
        // Down all along, or its release was a repeat's: the key was still
        // down when that release came.
        found->second.releasedAt.reset();
        return out;
    }
    for (auto& [key, state] : down_) {
        state.alone = false;
    }
    const bool modifier = IsModifierKey(event.key);
    down_[event.key] = Down{event.scanCode, modifier, true, {}, {}};
    if (!modifier) {
        out.push_back({Action::Press, event.key, event.ctrl, event.alt});
    }
    return out;
}

std::vector<PcKeyTracker::Output> PcKeyTracker::Released(const Event& event,
                                                         Clock::time_point now) {
    std::vector<Output> out;
    const auto found = down_.find(event.key);
    if (event.autoRepeat || found == down_.end()) {
        return out;
    }
    Down& key = found->second;
    if (isDown(key.scanCode).value_or(false)) {
        key.releasedAt = event.timestamp;
        key.settleBy = now + kRepeatGrace;
        return out;
    }
    if (event.timestamp != 0) {
        committedAt_[event.key] = event.timestamp;
    }
    commit(event.key, out);
    return out;
}

std::vector<PcKeyTracker::Output> PcKeyTracker::Settle(Clock::time_point now) {
    std::vector<Output> out;
    std::vector<int> due;
    for (auto& [key, state] : down_) {
        if (!state.releasedAt || state.settleBy > now) {
            continue;
        }
        if (isDown(state.scanCode).value_or(false)) {
            state.settleBy = now + kRepeatGrace;
        } else {
            due.push_back(key);
        }
    }
    for (const int key : due) {
        if (const std::uint64_t timestamp = *down_.at(key).releasedAt; timestamp != 0) {
            committedAt_[key] = timestamp;
        }
        commit(key, out);
    }
    return out;
}

std::optional<PcKeyTracker::Clock::time_point> PcKeyTracker::NextSettle() const {
    std::optional<Clock::time_point> next;
    for (const auto& [key, state] : down_) {
        if (state.releasedAt && (!next || state.settleBy < *next)) {
            next = state.settleBy;
        }
    }
    return next;
}

void PcKeyTracker::Clear() {
    down_.clear();
    committedAt_.clear();
}

std::optional<bool> PcKeyTracker::isDown(std::uint32_t scanCode) const {
    return keyDown_ ? keyDown_(scanCode) : std::nullopt;
}

void PcKeyTracker::commit(int key, std::vector<Output>& out) {
    const Down state = down_.at(key);
    down_.erase(key);
    if (!state.modifier) {
        out.push_back({Action::Release, key, false, false});
    } else if (state.alone) {
        out.push_back({Action::Press, key, false, false});
        out.push_back({Action::Release, key, false, false});
    }
}

bool PcKeyTracker::isRepeatOfCommitted(const Event& event) const {
    const auto found = committedAt_.find(event.key);
    return event.timestamp != 0 && found != committedAt_.end() && found->second == event.timestamp;
}

} // namespace ombrix::shell
