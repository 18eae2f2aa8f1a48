#pragma once

#include <array>
#include <cstdint>

namespace ombrix::render {

// The four screen colours as colour references 0x00BBGGRR (red in the lowest
// byte), in this order.
struct DisplayColors {
    enum Index { BacklightForeground = 0, BacklightBackground = 1, Foreground = 2, Background = 3 };

    std::array<std::uint32_t, 4> colours{0x000000u, 0x00FF00u, 0x000000u, 0xFFFFFFu};

    std::uint32_t operator[](Index index) const { return colours[index]; }
    std::uint32_t& operator[](Index index) { return colours[index]; }
    bool operator==(const DisplayColors&) const = default;
};

// Colour reference 0x00BBGGRR to pixel 0x00RRGGBB, and back: red and blue swap.
constexpr std::uint32_t SwapRedBlue(std::uint32_t colour) {
    return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}

} // namespace ombrix::render
