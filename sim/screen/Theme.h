#pragma once

#include "catalogue/InstrumentModel.h"

#include <QColor>
#include <array>
#include <cstddef>
#include <vector>

namespace ombrix::sim {

// What a colour is used for on the instrument's screen. The palette model's
// palette holds the roles in this order, lit then dimmed.
enum class Role : std::uint8_t {
    Background,
    Text,
    Value,
    Label,
    Highlight,
    HighlightText,
    Bar,
    Alert,
};

inline constexpr std::size_t kRoleCount = 8;

// The colours the screen is drawn in, for one model and backlight state.
class Theme {
public:
    Theme(const InstrumentModel& model, bool backlight);

    QColor colour(Role role) const { return colours_[static_cast<std::size_t>(role)]; }

    // The palette as the receiver shows it: each channel raised to the model's gamma.
    static std::vector<QRgb> displayedPalette(const InstrumentModel& model);

private:
    std::array<QColor, kRoleCount> colours_;
};

} // namespace ombrix::sim
