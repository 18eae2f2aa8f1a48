#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace ombrix::sim {

// Packs pixel values the way the instrument sends its screen: column-major
// (column 0 from top to bottom first), as one bit stream filled from the least
// significant bit of each byte upwards. A 16-bit value therefore comes out as a
// little-endian word. The stream is cut at width x height x bits / 8 whole bytes.
class PixelPacker {
public:
    using ValueAt = std::function<std::uint32_t(int x, int y)>;

    // Throws std::invalid_argument for sizes below 0 or bits per pixel outside 1..32.
    PixelPacker(int width, int height, int bitsPerPixel);

    std::size_t byteCount() const;
    std::vector<std::uint8_t> pack(const ValueAt& valueAt) const;

private:
    int width_;
    int height_;
    int bitsPerPixel_;
};

} // namespace ombrix::sim
