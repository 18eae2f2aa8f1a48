#pragma once

#include "model/EntryPresses.h"
#include "model/KeyboardLayout.h"
#include "model/MouseButton.h"
#include "shell/ButtonsHighlight.h"
#include "shell/HighlightBlink.h"
#include "shell/KeyTimers.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace ombrix::shell {

// The view's half of pressing instrument keys: turns clicks on the front panel,
// keyboard-bar clicks and computer keys into presses of the key tables, sends
// the code a release leaves, sends a hold code after four seconds, and keeps
// the key rings and the caption of the last code sent. While no instrument is
// connected a press shows nothing and sends nothing, and says so.
class KeyHandler {
public:
    static constexpr std::chrono::milliseconds kHoldTime{4000};

    struct Calls {
        // Whether a key pressed now can reach the instrument.
        std::function<bool()> canSend;
        // Hands a code over; false when it cannot reach the instrument.
        std::function<bool(std::uint32_t code)> storeKey;
        // A press or a code that cannot reach the instrument: nothing was sent.
        std::function<void()> notSent;
        // The names of the keys that made a sent code, in press order; `hold`:
        // the one key was held for its hold code.
        std::function<void(const QStringList& keys, bool hold)> addHistoryEntry;
        // The rings changed: what they covered and what they cover need drawing.
        std::function<void()> ringsChanged;
        std::function<void()> captionChanged;
        std::function<std::chrono::milliseconds()> highlightPeriod;
    };

    KeyHandler(KeyTimers& timers, Calls calls);

    // Runs the timers on `timers` from now on; the running ones stop.
    void UseTimers(KeyTimers& timers);
    // A model was loaded: its keys, every ring off, nothing under way.
    void SetLayout(const model::KeyboardLayout& layout);
    const model::KeyboardLayout& Layout() const { return layout_; }

    // A click at a point of the front-panel picture; outside every key it ends
    // what was under way.
    void PressAtPicture(QPoint picturePoint, model::MouseButton button);
    // A computer key went down (not by auto-repeat); none when it has no
    // virtual-key number.
    void PressByComputerKey(std::optional<std::uint32_t> virtualKey, bool ctrl);
    // A keyboard-bar button: pressed and released at once.
    void ClickBarButton(std::size_t position, model::MouseButton button);
    // A mouse button or a key went up.
    void Release();
    // The key or button held will not be seen going up (the window lost the
    // keyboard): nothing it pressed is sent, now or by its hold. A sequence
    // waiting for its next key stays.
    void AbandonPress();
    void OnTimer(KeyTimer timer);
    // A played-back entry: from rest, each key pressed and released at once.
    void PlayPresses(const std::vector<model::KeyPress>& presses);
    // A played-back hold: the key pressed, held past the hold time and released.
    void PlayHold(std::uint32_t key);
    // While locked, clicks, computer keys and the keyboard bar press nothing:
    // a play back owns the keys.
    void SetLocked(bool locked);
    bool Locked() const { return locked_; }
    // Back to rest: no keys pressed, no code pending, no rings.
    void Reset();

    const ButtonsHighlight& Highlights() const { return highlights_; }
    // The names of the keys of the last code sent, while its caption lasts.
    const QString& Caption() const { return caption_; }

private:
    void press(std::uint32_t key, model::MouseButton button);
    void release();
    void holdElapsed();
    void highlightTick();
    void highlightKeys(const std::vector<std::uint32_t>& keys, HighlightState state, bool cyclic);
    void clearHighlights();
    // False when the code cannot reach the instrument; then nothing is
    // recorded either.
    bool send(std::uint8_t code, const std::vector<std::uint32_t>& keys, bool hold);
    void refuse();
    QStringList namesOf(const std::vector<std::uint32_t>& keys) const;

    KeyTimers* timers_;
    Calls calls_;
    model::KeyboardLayout layout_;
    ButtonsHighlight highlights_;
    std::optional<HighlightBlink> blink_;
    std::vector<std::uint32_t> pressedKeys_;
    std::optional<std::uint8_t> pendingCode_;
    bool armed_ = false;
    bool locked_ = false;
    QString caption_;
};

} // namespace ombrix::shell
