#pragma once

#include <QSize>
#include <optional>

namespace ombrix::document {

// What the view's shape depends on: the front panel's picture (none while no
// model with a picture is loaded) and the screen's size in instrument pixels.
struct AspectSource {
    std::optional<QSize> picture;
    int displayWidth = 0;
    int displayHeight = 0;
    int iconsPanelHeight = 0;
};

} // namespace ombrix::document
