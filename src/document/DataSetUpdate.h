#pragma once

#include "render/ScreenConversion.h"
#include "session/OrmaSettings.h"
#include "session/ScreenRequests.h"

#include <cstdint>

namespace ombrix::document {

struct DocumentDataSet;

// What the session worker has read, kept for its whole life. Mask bits are only
// ever set: once a part has been read it is copied on every later merge.
struct DataSetUpdate {
    // Bit 1 would name the screen bytes; their own fresh flag says when they
    // are new, so the merge needs no bit for them.
    enum MaskBit : std::uint32_t {
        kDisplayParameters = 1u << 0,
        kPalette = 1u << 2,
        kIdentification = 1u << 3,
        kIconState = 1u << 4,
    };

    std::uint32_t mask = 0;
    session::DisplayParameters displayParameters;
    session::Bytes screenBytes;
    session::Palette palette;
    session::OrmaSettings identification;
    session::IconState iconState;
    // The model screen the bytes were read for; they are converted only into a
    // screen image of that size.
    render::ScreenGeometry screenGeometry;
    // Set when the last poll read new screen bytes; the merge clears it.
    bool freshScreen = false;
};

// Copies the parts the mask names into the data set; fresh screen bytes are
// moved there. When that changed what the screen shows (other screen bytes,
// format, palette, icons, backlight), the screen image is drawn anew and the
// result is true. The caller holds the data set's lock.
bool MergeUpdate(DataSetUpdate& update, DocumentDataSet& dataSet);

} // namespace ombrix::document
