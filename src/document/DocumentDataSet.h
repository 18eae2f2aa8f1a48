#pragma once

#include "render/CLumImage.h"
#include "render/DisplayColors.h"
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
    mutable std::mutex criticalSection;
    session::DisplayParameters displayParameters;
    render::CLumImage screenImage;
    session::Palette palette;
    session::OrmaSettings identification;
    session::IconState iconState;
    render::IconImages iconImages;
    render::DisplayColors colours;
    // The loaded model's screen size, set together with the screen image so the
    // worker sizes its screen reads by the model it converts for.
    render::ScreenGeometry geometry;
    // Frames read from the instrument and converted into the screen image.
    std::uint64_t framesConverted = 0;
};

} // namespace ombrix::document
