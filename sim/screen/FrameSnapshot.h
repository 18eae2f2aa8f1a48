#pragma once

#include "catalogue/InstrumentModel.h"
#include "screen/PixelPacker.h"

#include <QImage>
#include <QList>

namespace ombrix::sim {

// The pixel values of a screen as a picture a test can compare with what a
// receiver made of the packed bytes. One-bit and palette screens give an
// indexed picture whose index is the value (colours: white for 0 and black for
// 1; the palette as sent, before the gamma); direct-colour screens give RGB with
// each channel's bits of the value moved to the top of 8 bits.
class FrameSnapshot {
public:
    // Throws std::invalid_argument for a palette longer than an indexed picture holds.
    explicit FrameSnapshot(const InstrumentModel& model);

    QImage picture(const PixelPacker::ValueAt& valueAt) const;

private:
    QImage indexedPicture(const PixelPacker::ValueAt& valueAt) const;
    QImage directPicture(const PixelPacker::ValueAt& valueAt) const;
    QRgb directColour(std::uint32_t value) const;

    int width_;
    int height_;
    QList<QRgb> colourTable_;
    ColourLayout layout_;
    bool direct_;
};

} // namespace ombrix::sim
