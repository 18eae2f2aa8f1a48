#pragma once

#include "base/Colors.h"
#include "render/CLumImage.h"

#include <array>
#include <cstdint>
#include <unordered_map>

namespace ombrix::recording {

// The palette of the GIF frames of one recording, and each picture's pixels
// as indices into it. A picture of at most 256 colours keeps them exactly:
// one-bit and palette screens always do. Colours keep their index from frame
// to frame while they fit, so unchanged pixels stay unchanged in the file.
// A picture of more colours takes the nearest of 256 fixed ones (8 levels of
// red and green, 4 of blue).
class GifPalette {
public:
    static constexpr int kSize = 256;

    // Fills `indices` (`stride` bytes a row) with the picture's pixels as
    // indices into Colors(); false when it needed the fixed colours.
    bool Map(const render::CLumImage& picture, std::uint8_t* indices, int stride);
    // The palette of the last picture mapped, as FFmpeg's 0xAARRGGBB entries.
    const std::array<std::uint32_t, kSize>& Colors() const { return colors_; }

private:
    static std::array<std::uint32_t, kSize> opaqueBlack();
    bool learn(const render::CLumImage& picture);
    bool learnAll(const render::CLumImage& picture);
    void mapExactly(const render::CLumImage& picture, std::uint8_t* indices, int stride) const;
    void mapToFixed(const render::CLumImage& picture, std::uint8_t* indices, int stride);

    // Entries not yet used are opaque too: an encoder takes a transparent entry
    // for pixels that stay as they were, and would so hide a colour given it later.
    std::array<std::uint32_t, kSize> colors_ = opaqueBlack();
    std::unordered_map<base::Pixel, std::uint8_t> indexOf_;
};

} // namespace ombrix::recording
