#include "model/EntryPresses.h"

namespace ombrix::model {

namespace {

// Presses and releases `key` on `layout`: the code the release leaves.
std::optional<std::uint8_t> pressAndRelease(KeyboardLayout& layout, std::uint32_t key,
                                            MouseButton button) {
    const PressResult result = layout.Press(key, button);
    layout.ClearHold();
    return result.pendingCode;
}

} // namespace

std::optional<EntryPresses> PressesForEntry(const KeyboardLayout& layout,
                                            const QStringList& keyNames) {
    KeyboardLayout trial = layout;
    trial.Rest();
    EntryPresses entry;
    for (qsizetype i = 0; i < keyNames.size(); ++i) {
        const KeyButton* button = layout.ButtonByName(keyNames[i].trimmed().toUpper());
        if (button == nullptr) {
            return std::nullopt;
        }
        MouseButton mouse = MouseButton::Left;
        if (i + 1 < keyNames.size()) {
            KeyboardLayout left = trial;
            if (pressAndRelease(left, button->keyCode, MouseButton::Left)) {
                mouse = MouseButton::Right;
            }
        }
        entry.code = pressAndRelease(trial, button->keyCode, mouse);
        entry.presses.push_back({button->keyCode, mouse});
        if (entry.code && i + 1 < keyNames.size()) {
            // A code before the last key would be sent there: no press order
            // makes this entry.
            entry.code.reset();
            return entry;
        }
    }
    if (entry.presses.size() == 1 && entry.code.value_or(0) == 0) {
        if (std::optional<EntryPresses> held = PressesForHold(layout, keyNames.front());
            held && held->code) {
            return held;
        }
    }
    return entry;
}

std::optional<EntryPresses> PressesForHold(const KeyboardLayout& layout, const QString& keyName) {
    const KeyButton* button = layout.ButtonByName(keyName.trimmed().toUpper());
    if (button == nullptr) {
        return std::nullopt;
    }
    EntryPresses entry{{{button->keyCode, MouseButton::Left}}, std::nullopt, true};
    const auto hold = layout.tables().holdKeys.find(button->keyCode);
    if (hold != layout.tables().holdKeys.end()) {
        entry.code = hold->second;
    }
    return entry;
}

} // namespace ombrix::model
