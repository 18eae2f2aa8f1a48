#include "screen/FrameSnapshot.h"

#include <stdexcept>

namespace ombrix::sim {

namespace {

constexpr qsizetype kMaxIndexedColours = 256;
constexpr std::uint16_t kChannelBits = 8;

QList<QRgb> colourTable(const InstrumentModel& model) {
    if (model.bitsPerPixel == 1) {
        return {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    }
    QList<QRgb> table;
    for (const PaletteEntry& entry : model.palette) {
        table.push_back(qRgb(entry.red, entry.green, entry.blue));
    }
    return table;
}

int channel(std::uint32_t value, std::uint16_t shift, std::uint16_t width) {
    if (width == 0 || width > kChannelBits || shift >= 32) {
        return 0;
    }
    const std::uint32_t bits = (value >> shift) & ((1U << width) - 1U);
    return static_cast<int>(bits << (kChannelBits - width));
}

} // namespace

FrameSnapshot::FrameSnapshot(const InstrumentModel& model)
    : width_(model.width), height_(model.height), colourTable_(colourTable(model)),
      layout_(model.colourLayout.value_or(ColourLayout{})),
      direct_(model.bitsPerPixel != 1 && model.colourLayout.has_value()) {
    if (colourTable_.size() > kMaxIndexedColours) {
        throw std::invalid_argument("palette too long for an indexed picture");
    }
}

QImage FrameSnapshot::picture(const PixelPacker::ValueAt& valueAt) const {
    return direct_ ? directPicture(valueAt) : indexedPicture(valueAt);
}

QImage FrameSnapshot::indexedPicture(const PixelPacker::ValueAt& valueAt) const {
    QImage image(width_, height_, QImage::Format_Indexed8);
    image.setColorTable(colourTable_);
    for (int y = 0; y < height_; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width_; ++x) {
            row[x] = static_cast<uchar>(valueAt(x, y));
        }
    }
    return image;
}

QImage FrameSnapshot::directPicture(const PixelPacker::ValueAt& valueAt) const {
    QImage image(width_, height_, QImage::Format_RGB32);
    for (int y = 0; y < height_; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width_; ++x) {
            row[x] = directColour(valueAt(x, y));
        }
    }
    return image;
}

QRgb FrameSnapshot::directColour(std::uint32_t value) const {
    return qRgb(channel(value, layout_.redShift, layout_.redWidth),
                channel(value, layout_.greenShift, layout_.greenWidth),
                channel(value, layout_.blueShift, layout_.blueWidth));
}

} // namespace ombrix::sim
