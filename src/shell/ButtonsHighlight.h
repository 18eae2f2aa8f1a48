#pragma once

#include "base/Colors.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace ombrix::shell {

// How a key of the front panel is marked. The numbers are the highlight states
// of the key handling.
enum class HighlightState {
    None = 0,    // no ring
    Pressed = 3, // red: pressed, or waiting for the next key of a sequence
    Sent = 4,    // yellow: a code was sent
};

// One highlight entry per front-panel button, in the buttons' order.
class ButtonsHighlight {
public:
    struct Entry {
        bool visible = false;
        std::optional<base::ColorRef> colour;
    };

    ButtonsHighlight() = default;
    explicit ButtonsHighlight(std::size_t buttons) : entries_(buttons) {}

    // Sets the state and with it whether a ring shows and its colour. An index
    // beyond the buttons is ignored.
    void SetState(std::size_t button, HighlightState state);
    // Every entry back to no ring.
    void Clear();

    std::size_t Count() const { return entries_.size(); }
    const Entry& At(std::size_t button) const { return entries_.at(button); }
    // Whether the button's ring is drawn: visible and coloured.
    bool ShowsRing(std::size_t button) const;

private:
    std::vector<Entry> entries_;
};

} // namespace ombrix::shell
