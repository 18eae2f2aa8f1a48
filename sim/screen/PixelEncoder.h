#pragma once

#include "catalogue/InstrumentModel.h"

#include <QColor>
#include <cstdint>
#include <vector>

namespace ombrix::sim {

// Turns a drawn colour into the pixel value the model's display stores: ink or
// paper on a monochrome display, the nearest palette entry (as the receiver shows
// it) on a palette display, the channels cut to the colour layout's widths on a
// direct-colour display.
class PixelEncoder {
public:
    explicit PixelEncoder(const InstrumentModel& model);

    std::uint32_t valueOf(QRgb colour) const;

private:
    std::uint32_t nearestPaletteIndex(QRgb colour) const;
    std::uint32_t directValue(QRgb colour) const;

    std::int32_t bitsPerPixel_;
    std::vector<QRgb> palette_;
    ColourLayout layout_;
    bool direct_;
};

} // namespace ombrix::sim
