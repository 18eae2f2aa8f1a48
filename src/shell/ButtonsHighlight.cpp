#include "shell/ButtonsHighlight.h"

namespace ombrix::shell {

namespace {

constexpr base::ColorRef kRed(0x0000FFu);
constexpr base::ColorRef kYellow(0x00FFFFu);

} // namespace

// Hiding a ring keeps the colour it had: only a visible state colours the entry.
void ButtonsHighlight::SetState(std::size_t button, HighlightState state) {
    if (button >= entries_.size()) {
        return;
    }
    Entry& entry = entries_[button];
    entry.visible = state != HighlightState::None;
    if (entry.visible) {
        entry.colour = state == HighlightState::Sent ? kYellow : kRed;
    }
}

void ButtonsHighlight::Clear() {
    for (std::size_t button = 0; button < entries_.size(); ++button) {
        SetState(button, HighlightState::None);
    }
}

bool ButtonsHighlight::ShowsRing(std::size_t button) const {
    const Entry& entry = entries_.at(button);
    return entry.visible && entry.colour.has_value();
}

} // namespace ombrix::shell
