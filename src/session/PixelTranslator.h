#pragma once

#include "base/Colors.h"

#include <cstdint>

namespace ombrix::session {

// How a direct-colour pixel value splits into red, green and blue: each channel is
// ((v >> shift) & mask) << leftShift, kept to 8 bits.
class PixelTranslator {
public:
    virtual ~PixelTranslator() = default;

    // The pixel for the instrument's pixel value v.
    base::Pixel Translate(std::uint32_t v) const {
        const std::uint32_t red = channel(v, redShift, redMask, redLeftShift);
        const std::uint32_t green = channel(v, greenShift, greenMask, greenLeftShift);
        const std::uint32_t blue = channel(v, blueShift, blueMask, blueLeftShift);
        return (red << 16) | (green << 8) | blue;
    }

    bool operator==(const PixelTranslator&) const = default;

    std::uint32_t redShift = 0;
    std::uint32_t greenShift = 0;
    std::uint32_t blueShift = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::uint32_t redLeftShift = 0;
    std::uint32_t greenLeftShift = 0;
    std::uint32_t blueLeftShift = 0;

private:
    static std::uint32_t channel(std::uint32_t v, std::uint32_t shift, std::uint32_t mask,
                                 std::uint32_t leftShift) {
        // Shifts come from the wire limited to 31 and 8, so none is undefined.
        return (((v >> shift) & mask) << leftShift) & 0xFFu;
    }
};

} // namespace ombrix::session
