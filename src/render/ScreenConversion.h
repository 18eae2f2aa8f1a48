#pragma once

#include "base/Colors.h"
#include "render/CLumImage.h"
#include "session/ScreenRequests.h"

#include <cstdint>

namespace ombrix::render {

// The model's screen: display size and the icon panel above a one-bit display.
struct ScreenGeometry {
    int displayWidth = 0;
    int displayHeight = 0;
    int iconsPanelHeight = 0;
    bool operator==(const ScreenGeometry&) const = default;
};

// The two entries of a one-bit screen: background then foreground, in the
// backlight colours while the backlight is on.
session::Palette MonochromePalette(const base::DisplayColors& colours, bool backlightOn);

// Row of the screen image where the display starts.
int DisplayTop(const ScreenGeometry& geometry, std::uint32_t bitsPerPixel);

// A screen image for the model: the display plus the icon panel rows.
bool CreateScreenImage(CLumImage& screen, const ScreenGeometry& geometry);

// Unpacks column-major screen bytes into the display rectangle of `screen`.
// Conversion stops where the data ends; indexes beyond the palette give black;
// nothing is written outside the image.
void ConvertScreen(CLumImage& screen, const ScreenGeometry& geometry,
                   const session::DisplayParameters& params, const session::Palette& palette,
                   const session::Bytes& data);

} // namespace ombrix::render
