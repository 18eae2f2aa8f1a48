#pragma once

#include "base/Colors.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

namespace ombrix::render {

// A 32-bit top-down buffer of pixels (0x00RRGGBB): every bitmap of the screen,
// the icon panel and the front panel. Empty until created or loaded.
class CLumImage {
public:
    CLumImage() = default;
    CLumImage(const CLumImage&) = default;
    CLumImage& operator=(const CLumImage&) = default;
    // Moves leave the source empty. Declared, as the virtual destructor would
    // otherwise turn every move of a whole screen into a copy.
    CLumImage(CLumImage&& other) noexcept;
    CLumImage& operator=(CLumImage&& other) noexcept;
    virtual ~CLumImage() = default;

    // Largest side accepted, so a damaged size cannot ask for gigabytes.
    static constexpr int kMaxSide = 16384;

    // A black image; false (and empty) for sizes that are not positive or too large.
    bool Create(int width, int height);
    // Loads a picture file (BMP and whatever else Qt reads); false leaves it empty.
    bool Load(const QString& path);
    void Release();

    bool IsEmpty() const { return pixels_.empty(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Stride() const { return width_ * static_cast<int>(sizeof(std::uint32_t)); }
    base::Pixel* Bits() { return pixels_.data(); }
    const base::Pixel* Bits() const { return pixels_.data(); }
    base::Pixel* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const base::Pixel* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * width_;
    }

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // Pixel outside the image reads as 0; a write outside it is ignored.
    base::Pixel Pixel(int x, int y) const { return Contains(x, y) ? Row(y)[x] : 0u; }
    void SetPixel(int x, int y, base::Pixel pixel) {
        if (Contains(x, y)) {
            Row(y)[x] = pixel;
        }
    }

    // The pixels seen as a QImage without copying; valid while this image is
    // neither changed in size nor released.
    QImage AsQImage() const;

    bool operator==(const CLumImage&) const = default;

private:
    std::vector<base::Pixel> pixels_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace ombrix::render
