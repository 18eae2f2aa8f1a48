#pragma once

#include "base/Rect.h"

#include <QString>
#include <cstdint>

namespace ombrix::model {

// One instrument key on the front-panel picture.
struct KeyButton {
    base::Rect rect;
    std::uint32_t keyCode = 0;
    QString keyName; // upper case when read from a file; names the key in the key tables

    friend bool operator==(const KeyButton&, const KeyButton&) = default;
};

} // namespace ombrix::model
