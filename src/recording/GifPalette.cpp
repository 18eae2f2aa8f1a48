#include "recording/GifPalette.h"

namespace ombrix::recording {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr base::Pixel kRgb = 0x00FFFFFFu;
constexpr int kRedLevels = 8;
constexpr int kGreenLevels = 8;
constexpr int kBlueLevels = 4;

// The level of an 8-bit channel among `levels` spread over 0 to 255, and back.
int levelOf(std::uint32_t channel, int levels) {
    return (static_cast<int>(channel) * (levels - 1) + 127) / 255;
}

std::uint32_t channelOf(int level, int levels) {
    return static_cast<std::uint32_t>(level * 255 / (levels - 1));
}

std::uint8_t fixedIndex(base::Pixel pixel) {
    const int red = levelOf((pixel >> 16) & 0xFF, kRedLevels);
    const int green = levelOf((pixel >> 8) & 0xFF, kGreenLevels);
    const int blue = levelOf(pixel & 0xFF, kBlueLevels);
    return static_cast<std::uint8_t>((red * kGreenLevels + green) * kBlueLevels + blue);
}

} // namespace

std::array<std::uint32_t, GifPalette::kSize> GifPalette::opaqueBlack() {
    std::array<std::uint32_t, kSize> colors{};
    colors.fill(kOpaque);
    return colors;
}

bool GifPalette::Map(const render::CLumImage& picture, std::uint8_t* indices, int stride) {
    if (learn(picture)) {
        mapExactly(picture, indices, stride);
        return true;
    }
    mapToFixed(picture, indices, stride);
    return false;
}

// Gives every colour of the picture an index, keeping those of the pictures
// before while all fit; else starts again from this picture's colours alone.
// False when even those are too many.
bool GifPalette::learn(const render::CLumImage& picture) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (learnAll(picture)) {
            return true;
        }
        indexOf_.clear();
    }
    return false;
}

bool GifPalette::learnAll(const render::CLumImage& picture) {
    for (int y = 0; y < picture.Height(); ++y) {
        const base::Pixel* row = picture.Row(y);
        base::Pixel last = ~0u;
        for (int x = 0; x < picture.Width(); ++x) {
            const base::Pixel pixel = row[x] & kRgb;
            if (pixel == last || indexOf_.contains(pixel)) {
                last = pixel;
                continue;
            }
            if (indexOf_.size() == kSize) {
                return false;
            }
            const auto index = static_cast<std::uint8_t>(indexOf_.size());
            indexOf_.emplace(pixel, index);
            colors_[index] = kOpaque | pixel;
            last = pixel;
        }
    }
    return true;
}

// Neighbouring pixels mostly share their colour: one look-up per run.
void GifPalette::mapExactly(const render::CLumImage& picture, std::uint8_t* indices,
                            int stride) const {
    for (int y = 0; y < picture.Height(); ++y) {
        const base::Pixel* row = picture.Row(y);
        std::uint8_t* out = indices + static_cast<std::ptrdiff_t>(y) * stride;
        base::Pixel last = ~0u;
        std::uint8_t index = 0;
        for (int x = 0; x < picture.Width(); ++x) {
            const base::Pixel pixel = row[x] & kRgb;
            if (pixel != last) {
                index = indexOf_.at(pixel);
                last = pixel;
            }
            out[x] = index;
        }
    }
}

void GifPalette::mapToFixed(const render::CLumImage& picture, std::uint8_t* indices, int stride) {
    indexOf_.clear();
    for (int red = 0; red < kRedLevels; ++red) {
        for (int green = 0; green < kGreenLevels; ++green) {
            for (int blue = 0; blue < kBlueLevels; ++blue) {
                const base::Pixel pixel = channelOf(red, kRedLevels) << 16 |
                                          channelOf(green, kGreenLevels) << 8 |
                                          channelOf(blue, kBlueLevels);
                colors_[fixedIndex(pixel)] = kOpaque | pixel;
            }
        }
    }
    for (int y = 0; y < picture.Height(); ++y) {
        const base::Pixel* row = picture.Row(y);
        std::uint8_t* out = indices + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < picture.Width(); ++x) {
            out[x] = fixedIndex(row[x]);
        }
    }
}

} // namespace ombrix::recording
