#pragma once

#include "settings/ScreenshotSettings.h"

namespace ombrix::document {

// What a screenshot is asked to be: named by the settings, enlarged by the zoom
// (1 to 4) where the format allows it.
struct ScreenshotRequest {
    settings::ScreenshotSettings settings;
    int zoom = 1;
};

} // namespace ombrix::document
