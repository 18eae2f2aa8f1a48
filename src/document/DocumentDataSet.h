#pragma once

#include "base/Colors.h"
#include "document/Frame.h"
#include "document/FrameBuffer.h"
#include "render/CLumImage.h"
#include "render/IconPanel.h"
#include "render/ScreenConversion.h"
#include "session/OrmaSettings.h"
#include "session/ScreenRequests.h"

#include <cstdint>
#include <mutex>

namespace ombrix::document {

// Everything read from the instrument, the bitmaps drawn from it and the colours
// in effect. Reached only through a DataSetProxy, which holds `criticalSection`.
struct DocumentDataSet {
    mutable std::recursive_mutex criticalSection;
    session::DisplayParameters displayParameters;
    render::CLumImage screenImage;
    // The instrument's palette; a one-bit screen's two colours are made from
    // `colours` whenever it is drawn.
    session::Palette palette;
    session::OrmaSettings identification;
    session::IconState iconState;
    render::IconImages iconImages;
    base::DisplayColors colours;
    // The loaded model's screen size, set together with the screen image so the
    // worker sizes its screen reads by the model it converts for.
    render::ScreenGeometry geometry;
    // The screen bytes the screen image shows: empty until the first screen of
    // the loaded model was read.
    session::Bytes screenBytes;
};

// Draws the screen image anew from the screen bytes, the palette or colours and
// the icon panel. Nothing happens before a screen was read or while the screen
// image is empty. The caller holds the lock.
void RedrawScreen(DocumentDataSet& dataSet);

// Fills `frame` (reusing its images' memory) with what the data set shows, once
// a screen of the loaded model was read; false before.
bool TakeFrame(const DocumentDataSet& dataSet, Frame& frame);

// Publishes what the data set shows into `frames`; true when that gave a frame
// of a new generation. The caller holds the lock.
bool PublishFrame(const DocumentDataSet& dataSet, FrameBuffer& frames);

} // namespace ombrix::document
