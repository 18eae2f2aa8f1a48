#pragma once

#include "model/KeyboardLayout.h"
#include "model/MouseButton.h"

#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace ombrix::model {

// One press of an instrument key, released at once.
struct KeyPress {
    std::uint32_t keyCode = 0;
    MouseButton button = MouseButton::Left;

    friend bool operator==(const KeyPress&, const KeyPress&) = default;
};

// The presses that make a history entry again and the code they leave (none
// when they leave none, or leave one before the last key). `hold`: the one key
// is held for its hold code.
struct EntryPresses {
    std::vector<KeyPress> presses;
    std::optional<std::uint8_t> code;
    bool hold = false;
};

// How to press the keys of a history entry (its key names, in press order) so
// that the key tables give the entry's code again: every key but the last
// continues what is under way (with the left button where that leaves no code
// to send, else with the right one), and the last completes it with the left
// button. A single key that gives no code when pressed but has a hold code
// was held. Worked out on a copy of `layout` at rest. None when a name is not
// a key of the layout.
std::optional<EntryPresses> PressesForEntry(const KeyboardLayout& layout,
                                            const QStringList& keyNames);

// The key named `keyName` held for its hold code (no code when it has none).
// None when the name is not a key of the layout.
std::optional<EntryPresses> PressesForHold(const KeyboardLayout& layout, const QString& keyName);

} // namespace ombrix::model
