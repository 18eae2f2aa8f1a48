#pragma once

#include "model/KeyTables.h"
#include "model/KeyTree.h"
#include "model/MouseButton.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace ombrix::model {

// A key that sends its own code when held down long enough.
struct HoldKey {
    std::uint32_t key = 0;
    std::uint8_t code = 0;

    friend bool operator==(const HoldKey&, const HoldKey&) = default;
};

// What a press leaves: the keys pressed since the last rest, in press order, and
// the code to send on release, if any.
struct PressResult {
    std::vector<std::uint32_t> pressedKeys;
    std::optional<std::uint8_t> pendingCode;
};

// Turns key presses into the codes of the key tables. It keeps no time: whoever
// drives it decides when a release happens and when a hold has lasted long
// enough, then calls ClearHold or TakeHold.
class KeyMatcher {
public:
    KeyMatcher();
    explicit KeyMatcher(const KeyTables& tables);

    // Advances the sequence and the combination tree with `key`. A key that
    // neither tree expects ends what was under way and returns to rest; its hold
    // stays pending when it is the first key since rest.
    PressResult Press(std::uint32_t key, MouseButton button);

    // Drops the pending hold; called on every release.
    void ClearHold();

    // Returns the pending hold and drops it; when there was one, also rests.
    std::optional<HoldKey> TakeHold();

    // Both cursors back to their trees' roots, no keys pressed.
    void Rest();

private:
    KeyTree sequenceTree_;
    KeyTree combinationTree_;
    KeyTree sequenceCursor_;
    KeyTree combinationCursor_;
    std::map<std::uint32_t, std::uint8_t> holdKeys_;
    std::vector<std::uint32_t> pressedKeys_;
    std::optional<HoldKey> pendingHold_;
};

} // namespace ombrix::model
