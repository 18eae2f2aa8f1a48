#pragma once

#include <cstdint>

namespace ombrix::settings {

// A window rectangle as the Windows RECT has it: right and bottom lie one past the last
// pixel, so width is right - left. Kept apart from QRect, whose right() is inclusive.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool operator==(const Rect&) const = default;
};

} // namespace ombrix::settings
