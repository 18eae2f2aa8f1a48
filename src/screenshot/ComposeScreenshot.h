#pragma once

#include "render/CLumImage.h"

#include <QImage>

namespace ombrix::screenshot {

// The frame a screenshot is given: 8 pixels wider and higher than `screen`,
// 2 black and 2 white pixels round it. `screen` is what the instrument shows
// (the frame's shown picture, blinking icons included). Empty for an empty
// screen.
render::CLumImage ComposeScreenshot(const render::CLumImage& screen);

// `image` with each pixel `zoom` x `zoom`, sharp: the enlargement of saved
// and copied screenshots. Empty when the result would be too large.
render::CLumImage Enlarged(const render::CLumImage& image, int zoom);
// The same as a QImage, for the clipboard and image files Qt writes.
QImage Zoomed(const render::CLumImage& image, int zoom);
// Whether a writer can take `image` at `zoom`; the reason in `error` when not.
bool CanWrite(const render::CLumImage& image, int zoom, QString& error);

} // namespace ombrix::screenshot
