// Frames as the document publishes them, drawn here: a one-bit screen with an
// icon panel whose blink panel lights one more icon (an odd seed adds a band
// in a colour the even ones lack), and a colour screen of more colours than a
// GIF palette holds.
#pragma once

#include "document/Frame.h"

#include <memory>

namespace ombrix::recording::testing {

inline constexpr int kMonoWidth = 128;
inline constexpr int kMonoHeight = 64;
inline constexpr int kMonoPanel = 11;

// `seed` moves the pattern, so frames of other seeds differ.
inline std::shared_ptr<const document::Frame> MonoFrame(int seed, std::uint64_t generation) {
    auto frame = std::make_shared<document::Frame>();
    frame->geometry = {kMonoWidth, kMonoHeight, kMonoPanel};
    frame->bitsPerPixel = 1;
    frame->generation = generation;
    frame->screen.Create(kMonoWidth, kMonoHeight + kMonoPanel);
    for (int y = 0; y < frame->screen.Height(); ++y) {
        for (int x = 0; x < kMonoWidth; ++x) {
            const bool ink = ((x + seed) / 3 + y / 5) % 4 == 0;
            const bool band = seed % 2 == 1 && y >= 30 && y < 38;
            frame->screen.SetPixel(x, y, band ? 0x2A9FD8u : ink ? 0x000000u : 0xFFFFFFu);
        }
    }
    frame->blinkPanel.Create(kMonoWidth, kMonoPanel);
    for (int y = 0; y < kMonoPanel; ++y) {
        for (int x = 0; x < kMonoWidth; ++x) {
            const bool icon = x >= 100 && x < 110 && y > 1 && y < 9;
            frame->blinkPanel.SetPixel(x, y, icon ? 0x000000u : frame->screen.Pixel(x, y));
        }
    }
    return frame;
}

inline std::shared_ptr<const document::Frame> ColourFrame(int seed, std::uint64_t generation) {
    constexpr int kWidth = 96;
    constexpr int kHeight = 64;
    auto frame = std::make_shared<document::Frame>();
    frame->geometry = {kWidth, kHeight, 0};
    frame->bitsPerPixel = 16;
    frame->generation = generation;
    frame->screen.Create(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const auto red = static_cast<base::Pixel>((x * 8 + seed * 40) & 0xF8);
            const auto green = static_cast<base::Pixel>((y * 4) & 0xFC);
            const auto blue = static_cast<base::Pixel>(((x + y) * 4) & 0xF8);
            frame->screen.SetPixel(x, y, red << 16 | green << 8 | blue);
        }
    }
    return frame;
}

} // namespace ombrix::recording::testing
