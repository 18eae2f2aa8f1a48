#include "screen/PixelEncoder.h"

#include "screen/Theme.h"

#include <limits>

namespace ombrix::sim {

namespace {

// Grey level below which a monochrome pixel is ink.
constexpr int kInkThreshold = 128;
constexpr int kChannelBits = 8;

int squaredDistance(QRgb a, QRgb b) {
    const int red = qRed(a) - qRed(b);
    const int green = qGreen(a) - qGreen(b);
    const int blue = qBlue(a) - qBlue(b);
    return red * red + green * green + blue * blue;
}

std::uint32_t channelBits(int channel, std::uint16_t width, std::uint16_t shift) {
    if (width == 0 || width > kChannelBits || shift >= 32) {
        return 0;
    }
    return (static_cast<std::uint32_t>(channel) >> (kChannelBits - width)) << shift;
}

} // namespace

PixelEncoder::PixelEncoder(const InstrumentModel& model)
    : bitsPerPixel_(model.bitsPerPixel), palette_(Theme::displayedPalette(model)),
      layout_(model.colourLayout.value_or(ColourLayout{})),
      direct_(model.colourLayout.has_value()) {}

std::uint32_t PixelEncoder::valueOf(QRgb colour) const {
    if (bitsPerPixel_ == 1) {
        return qGray(colour) < kInkThreshold ? 1 : 0;
    }
    return direct_ ? directValue(colour) : nearestPaletteIndex(colour);
}

std::uint32_t PixelEncoder::nearestPaletteIndex(QRgb colour) const {
    std::uint32_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::uint32_t index = 0; index < palette_.size(); ++index) {
        const int distance = squaredDistance(colour, palette_[index]);
        if (distance < bestDistance) {
            best = index;
            bestDistance = distance;
        }
    }
    return best;
}

std::uint32_t PixelEncoder::directValue(QRgb colour) const {
    return channelBits(qRed(colour), layout_.redWidth, layout_.redShift) |
           channelBits(qGreen(colour), layout_.greenWidth, layout_.greenShift) |
           channelBits(qBlue(colour), layout_.blueWidth, layout_.blueShift);
}

} // namespace ombrix::sim
