#include "screen/PixelPacker.h"

#include <stdexcept>

namespace ombrix::sim {

namespace {

constexpr int kMaxBitsPerPixel = 32;

// Appends values bit by bit, least significant first; bits past the end are dropped.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out), capacity_(out.size() * 8) {}

    void put(std::uint32_t value, int bits) {
        for (int bit = 0; bit < bits && position_ < capacity_; ++bit, ++position_) {
            if ((value >> bit) & 1U) {
                out_[position_ / 8] |= static_cast<std::uint8_t>(1U << (position_ % 8));
            }
        }
    }

private:
    std::vector<std::uint8_t>& out_;
    std::size_t capacity_;
    std::size_t position_ = 0;
};

} // namespace

PixelPacker::PixelPacker(int width, int height, int bitsPerPixel)
    : width_(width), height_(height), bitsPerPixel_(bitsPerPixel) {
    if (width < 0 || height < 0 || bitsPerPixel < 1 || bitsPerPixel > kMaxBitsPerPixel) {
        throw std::invalid_argument("screen size or bits per pixel out of range");
    }
}

std::size_t PixelPacker::byteCount() const {
    return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) *
           static_cast<std::size_t>(bitsPerPixel_) / 8;
}

std::vector<std::uint8_t> PixelPacker::pack(const ValueAt& valueAt) const {
    std::vector<std::uint8_t> out(byteCount(), 0);
    BitWriter writer(out);
    for (int x = 0; x < width_; ++x) {
        for (int y = 0; y < height_; ++y) {
            writer.put(valueAt(x, y), bitsPerPixel_);
        }
    }
    return out;
}

} // namespace ombrix::sim
