#pragma once

#include "render/CLumImage.h"
#include "render/ScreenConversion.h"

#include <cstdint>

namespace ombrix::document {

// One picture of the instrument's screen, published by the document after a
// pass that changed what the screen shows. A published frame never changes, so
// the view, the screenshot and ombrix-cli read it without any lock.
struct Frame {
    // The display, with the steady icons in the icon rows of a one-bit screen.
    render::CLumImage screen;
    // The icon rows with the steady and the blinking icons; empty without an
    // icon panel.
    render::CLumImage blinkPanel;
    render::ScreenGeometry geometry;
    std::uint32_t bitsPerPixel = 1;
    // Counts the frames the document published, from 1.
    std::uint64_t generation = 0;

    // The screen with the blink panel over its icon rows: the blinking icons in
    // their visible phase.
    render::CLumImage withBlinkPanel() const;
    // withBlinkPanel() cut to the rows the instrument draws: the icon rows of a
    // one-bit screen and the display, without the unused rows below the display
    // of a screen with more bits per pixel.
    render::CLumImage shown() const;
    // Whether both frames show the same, whatever their generations.
    bool showsSameAs(const Frame& other) const;
};

} // namespace ombrix::document
