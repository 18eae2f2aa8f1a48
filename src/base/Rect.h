#pragma once

#include <QPoint>
#include <cstdint>

namespace ombrix::base {

// A rectangle as the Windows RECT has it: left and top inclusive, right and
// bottom one past the last pixel, so the width is right - left. Front-panel
// keys, the display's place in the picture and stored window rectangles all use
// it. Kept apart from QRect, whose right() is inclusive.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    // Sizes in 64 bits: rectangles read from files may span the whole int range.
    std::int64_t width() const { return std::int64_t{right} - left; }
    std::int64_t height() const { return std::int64_t{bottom} - top; }

    bool contains(QPoint point) const {
        return point.x() >= left && point.x() < right && point.y() >= top && point.y() < bottom;
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace ombrix::base
