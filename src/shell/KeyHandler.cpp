#include "shell/KeyHandler.h"

#include "history/HistoryEntry.h"
#include "model/ComputerKeys.h"

#include <algorithm>

namespace ombrix::shell {

using model::MouseButton;

KeyHandler::KeyHandler(KeyTimers& timers, Calls calls)
    : timers_(&timers), calls_(std::move(calls)) {}

void KeyHandler::UseTimers(KeyTimers& timers) {
    for (const KeyTimer timer : {KeyTimer::Highlight, KeyTimer::Hold, KeyTimer::Caption}) {
        timers_->Stop(timer);
    }
    timers_ = &timers;
}

void KeyHandler::SetLayout(const model::KeyboardLayout& layout) {
    layout_ = layout;
    highlights_ = ButtonsHighlight(layout_.buttons().size());
    timers_->Stop(KeyTimer::Hold);
    armed_ = false;
    Reset();
}

void KeyHandler::PressAtPicture(QPoint picturePoint, MouseButton button) {
    if (locked_) {
        return;
    }
    if (const model::KeyButton* key = layout_.HitTest(picturePoint)) {
        press(key->keyCode, button);
    } else {
        Reset();
    }
}

void KeyHandler::PressByComputerKey(std::optional<std::uint32_t> virtualKey, bool ctrl) {
    if (locked_) {
        return;
    }
    const std::optional<std::uint32_t> code =
        virtualKey ? model::instrumentCodeForComputerKey(*virtualKey) : std::nullopt;
    if (code) {
        press(*code, ctrl ? MouseButton::Right : MouseButton::Left);
    } else {
        Reset();
    }
}

void KeyHandler::ClickBarButton(std::size_t position, MouseButton button) {
    const std::optional<std::uint32_t> code =
        layout_.CodeAtBarPosition(static_cast<qsizetype>(position));
    if (!locked_ && position < layout_.buttons().size() && code) {
        press(*code, button);
        release();
    }
}

void KeyHandler::press(std::uint32_t key, MouseButton button) {
    if (!calls_.canSend()) {
        refuse();
        return;
    }
    armed_ = true;
    timers_->Start(KeyTimer::Hold, kHoldTime);
    model::PressResult result = layout_.Press(key, button);
    pressedKeys_ = std::move(result.pressedKeys);
    pendingCode_ = result.pendingCode;
    if (pressedKeys_.empty()) {
        Reset();
        return;
    }
    highlightKeys(pressedKeys_, HighlightState::Pressed, true);
}

void KeyHandler::Release() {
    if (!locked_) {
        release();
    }
}

// The blink is started again even when it runs: a ring whose blink had already
// ended (a period shorter than the press) would otherwise never go. A code that
// cannot be sent gets no yellow ring.
void KeyHandler::release() {
    timers_->Stop(KeyTimer::Hold);
    layout_.ClearHold();
    if (pendingCode_) {
        // Not armed: the hold sent its code already.
        const bool sent = !armed_ || send(*pendingCode_, pressedKeys_, false);
        if (sent && !pressedKeys_.empty()) {
            highlightKeys(pressedKeys_, HighlightState::Sent, false);
        } else {
            clearHighlights();
        }
        layout_.Rest();
        pressedKeys_.clear();
        pendingCode_.reset();
    } else if (pressedKeys_.empty()) {
        clearHighlights();
    } else {
        highlightKeys(pressedKeys_, HighlightState::Pressed, true);
    }
    armed_ = false;
}

void KeyHandler::AbandonPress() {
    timers_->Stop(KeyTimer::Hold);
    layout_.ClearHold();
    armed_ = false;
    if (pendingCode_ || pressedKeys_.empty()) {
        Reset();
    }
}

void KeyHandler::OnTimer(KeyTimer timer) {
    switch (timer) {
    case KeyTimer::Highlight:
        highlightTick();
        break;
    case KeyTimer::Hold:
        holdElapsed();
        break;
    case KeyTimer::Caption:
        caption_.clear();
        calls_.captionChanged();
        break;
    }
}

void KeyHandler::PlayPresses(const std::vector<model::KeyPress>& presses) {
    Reset();
    for (const model::KeyPress& each : presses) {
        press(each.keyCode, each.button);
        release();
    }
}

void KeyHandler::PlayHold(std::uint32_t key) {
    Reset();
    press(key, MouseButton::Left);
    holdElapsed();
    release();
}

// A key held when the lock comes is let go without its code.
void KeyHandler::SetLocked(bool locked) {
    if (locked && !locked_) {
        AbandonPress();
        Reset();
    }
    locked_ = locked;
}

// The hold code is sent at once; the release that follows sends nothing more.
void KeyHandler::holdElapsed() {
    const std::optional<model::HoldKey> hold = layout_.TakeHold();
    timers_->Stop(KeyTimer::Hold);
    if (!hold) {
        return;
    }
    pressedKeys_ = {hold->key};
    pendingCode_ = hold->code;
    armed_ = false;
    if (!send(hold->code, pressedKeys_, true)) {
        Reset();
        return;
    }
    highlightKeys(pressedKeys_, HighlightState::Pressed, true);
}

void KeyHandler::highlightTick() {
    if (!blink_) {
        timers_->Stop(KeyTimer::Highlight);
        return;
    }
    blink_->Advance();
    if (!blink_->Alive()) {
        clearHighlights();
    }
}

void KeyHandler::Reset() {
    layout_.Rest();
    pressedKeys_.clear();
    pendingCode_.reset();
    clearHighlights();
}

// Keys are known by their codes: every button with a pressed key's code is
// marked.
void KeyHandler::highlightKeys(const std::vector<std::uint32_t>& keys, HighlightState state,
                               bool cyclic) {
    const std::vector<model::KeyButton>& buttons = layout_.buttons();
    highlights_.Clear();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (std::find(keys.begin(), keys.end(), buttons[i].keyCode) != keys.end()) {
            highlights_.SetState(i, state);
        }
    }
    blink_.emplace(calls_.highlightPeriod(), cyclic);
    timers_->Start(KeyTimer::Highlight, HighlightBlink::kStep);
    calls_.ringsChanged();
}

void KeyHandler::clearHighlights() {
    highlights_.Clear();
    blink_.reset();
    timers_->Stop(KeyTimer::Highlight);
    calls_.ringsChanged();
}

// A code of 0 means "nothing": it is neither sent nor recorded.
bool KeyHandler::send(std::uint8_t code, const std::vector<std::uint32_t>& keys, bool hold) {
    if (code == 0) {
        return true;
    }
    if (!calls_.storeKey(code)) {
        refuse();
        return false;
    }
    const QStringList names = namesOf(keys);
    calls_.addHistoryEntry(names, hold);
    caption_ = history::HistoryEntry::Keys(names, {}, hold).Text();
    timers_->Start(KeyTimer::Caption, std::max(calls_.highlightPeriod(), HighlightBlink::kStep));
    calls_.captionChanged();
    return true;
}

// Nothing under way survives: the instrument it was meant for is gone.
void KeyHandler::refuse() {
    timers_->Stop(KeyTimer::Hold);
    armed_ = false;
    Reset();
    calls_.notSent();
}

QStringList KeyHandler::namesOf(const std::vector<std::uint32_t>& keys) const {
    QStringList names;
    for (const std::uint32_t key : keys) {
        const model::KeyButton* button = layout_.ButtonByCode(key);
        names.append(button != nullptr ? button->keyName
                                       : QStringLiteral("0x%1").arg(key, 2, 16, QChar(u'0')));
    }
    return names;
}

} // namespace ombrix::shell
