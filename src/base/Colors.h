#pragma once

#include <array>
#include <cstdint>

namespace ombrix::base {

// A bitmap pixel or palette entry: 0x00RRGGBB, blue in the lowest byte.
using Pixel = std::uint32_t;

// A colour as model files, the settings and the colours dialog give it: a
// colour reference 0x00BBGGRR, red in the lowest byte. A type of its own, so it
// cannot be written into a bitmap without ToPixel.
struct ColorRef {
    std::uint32_t value = 0;

    constexpr ColorRef() = default;
    constexpr explicit ColorRef(std::uint32_t reference) : value(reference) {}

    friend constexpr bool operator==(ColorRef, ColorRef) = default;
};

// The one place where the two orders meet: red and blue swap.
constexpr Pixel ToPixel(ColorRef colour) {
    const std::uint32_t v = colour.value;
    return ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu);
}

constexpr ColorRef ToColorRef(Pixel pixel) {
    return ColorRef(((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu));
}

// The four screen colours, in this order: the colours in effect, and a model's
// own colours that the colours dialog offers as defaults.
struct DisplayColors {
    enum Index { BacklightForeground = 0, BacklightBackground = 1, Foreground = 2, Background = 3 };

    std::array<ColorRef, 4> colours{ColorRef(0x000000u), ColorRef(0x00FF00u), ColorRef(0x000000u),
                                    ColorRef(0xFFFFFFu)};

    ColorRef operator[](Index index) const { return colours[index]; }
    ColorRef& operator[](Index index) { return colours[index]; }
    friend bool operator==(const DisplayColors&, const DisplayColors&) = default;
};

} // namespace ombrix::base
