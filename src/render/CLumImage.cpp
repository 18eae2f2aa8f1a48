#include "render/CLumImage.h"

#include <algorithm>
#include <utility>

namespace ombrix::render {

namespace {

constexpr std::uint32_t kColourBits = 0x00FFFFFFu;

} // namespace

CLumImage::CLumImage(CLumImage&& other) noexcept
    : pixels_(std::exchange(other.pixels_, {})), width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)) {}

CLumImage& CLumImage::operator=(CLumImage&& other) noexcept {
    pixels_ = std::exchange(other.pixels_, {});
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    return *this;
}

bool CLumImage::Create(int width, int height) {
    Release();
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return false;
    }
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    width_ = width;
    height_ = height;
    return true;
}

bool CLumImage::Load(const QString& path) {
    Release();
    const QImage loaded(path);
    if (loaded.isNull() || !Create(loaded.width(), loaded.height())) {
        return false;
    }
    const QImage converted = loaded.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < height_; ++y) {
        const auto* source = reinterpret_cast<const std::uint32_t*>(converted.constScanLine(y));
        std::transform(source, source + width_, Row(y),
                       [](std::uint32_t pixel) { return pixel & kColourBits; });
    }
    return true;
}

void CLumImage::Release() {
    pixels_.clear();
    pixels_.shrink_to_fit();
    width_ = 0;
    height_ = 0;
}

QImage CLumImage::AsQImage() const {
    if (IsEmpty()) {
        return {};
    }
    // Format_RGB32 ignores the fourth byte, which our pixels keep at 0.
    return QImage(reinterpret_cast<const uchar*>(pixels_.data()), width_, height_, Stride(),
                  QImage::Format_RGB32);
}

} // namespace ombrix::render
