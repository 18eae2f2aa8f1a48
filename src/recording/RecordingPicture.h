#pragma once

#include "document/Frame.h"
#include "render/CLumImage.h"

#include <QSize>
#include <QString>

namespace ombrix::recording {

// How a recording shows the instrument's screen.
struct RecordingLook {
    bool framed = false;   // in the screenshot's frame
    int zoom = 1;          // each instrument pixel zoom x zoom, sharp
    bool captions = false; // the caption strip under the screen
};

// The caption strip's height at zoom 1.
inline constexpr int kCaptionStripHeight = 16;

// The screen as the view shows it in `blinkPhase`: the blinking icons only in
// their visible phase, cut to the rows the instrument draws.
render::CLumImage ShownScreen(const document::Frame& frame, bool blinkPhase);
// Whether the blink phase changes what the frame shows.
bool Blinks(const document::Frame& frame);

// The size of a recording's pictures for frames of `frame`'s geometry.
QSize PictureSize(const document::Frame& frame, const RecordingLook& look);
// The picture of a recording: the shown screen, framed and enlarged as the
// look asks, with `strip` (CaptionStrip's, or empty for none) under it when
// the look has captions. Empty when the screen does not fit the size of the
// recording's pictures.
render::CLumImage ComposePicture(const document::Frame& frame, bool blinkPhase,
                                 const RecordingLook& look, const render::CLumImage& strip);

// A caption strip `width` pixels wide: `text` in white on black, centred,
// its start elided when too long. Needs a QGuiApplication for its fonts.
render::CLumImage CaptionStrip(const QString& text, int width, int zoom);

} // namespace ombrix::recording
