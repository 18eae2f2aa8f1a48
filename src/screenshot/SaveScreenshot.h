#pragma once

#include "render/CLumImage.h"
#include "settings/ScreenshotSettings.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace ombrix::screenshot {

// What saving a screenshot did.
struct ScreenshotOutcome {
    QString path; // the file written, or the one that could not be
    bool written = false;
    QString error; // why nothing was written
    // The counter the settings held, and the one for the next screenshot; none
    // when nothing was counted.
    std::uint32_t counter = 0;
    std::optional<std::uint32_t> nextCounter;
};

// Writes `image` (a composed screenshot) in the settings' format to the file
// they name, `zoom` times enlarged for PCX and PNG. Never overwrites: when the
// file exists the counter moves on to the next free name (wrapping past 9999,
// one round at most). The folder is created when missing. A failed write still
// uses up its number and leaves no file; a format outside the table saves and
// counts nothing.
ScreenshotOutcome SaveScreenshot(const render::CLumImage& image,
                                 const settings::ScreenshotSettings& settings, int zoom);

} // namespace ombrix::screenshot
