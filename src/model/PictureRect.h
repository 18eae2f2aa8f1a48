#pragma once

#include <QPoint>
#include <cstdint>

namespace ombrix::model {

// A rectangle in front-panel picture pixels as model files give it: left and top
// inclusive, right and bottom exclusive.
struct PictureRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool contains(QPoint point) const {
        return point.x() >= left && point.x() < right && point.y() >= top && point.y() < bottom;
    }

    friend bool operator==(const PictureRect&, const PictureRect&) = default;
};

} // namespace ombrix::model
