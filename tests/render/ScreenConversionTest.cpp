#include "render/ScreenConversion.h"

#include <gtest/gtest.h>

namespace ombrix::render {
namespace {

using base::ColorRef;
using base::DisplayColors;
using session::Bytes;
using session::DisplayParameters;
using session::Palette;

constexpr std::uint32_t kWhite = 0x00FFFFFFu;

DisplayParameters depth(std::uint32_t bits) {
    DisplayParameters params;
    params.bitsPerPixel = bits;
    return params;
}

DisplayParameters rgb565() {
    DisplayParameters params;
    params.bitsPerPixel = 16;
    params.colourLayoutValid = 1;
    params.translator.redShift = 11;
    params.translator.greenShift = 5;
    params.translator.redMask = 0x1F;
    params.translator.greenMask = 0x3F;
    params.translator.blueMask = 0x1F;
    params.translator.redLeftShift = 3;
    params.translator.greenLeftShift = 2;
    params.translator.blueLeftShift = 3;
    return params;
}

CLumImage screenFor(const ScreenGeometry& geometry) {
    CLumImage screen;
    EXPECT_TRUE(CreateScreenImage(screen, geometry));
    return screen;
}

TEST(MonochromeTest, ColourReferencesAreSwappedIntoPixels) {
    DisplayColors colours;
    colours[DisplayColors::Background] = ColorRef(0x0000FF); // pure red
    colours[DisplayColors::BacklightForeground] = ColorRef(0x123456);
    colours[DisplayColors::BacklightBackground] = ColorRef(0x00FF00);
    const ScreenGeometry geometry{2, 1, 0};
    CLumImage screen = screenFor(geometry);
    ConvertScreen(screen, geometry, depth(1), MonochromePalette(colours, false), {0b10});
    EXPECT_EQ(screen.Pixel(0, 0), 0x00FF0000u);

    ConvertScreen(screen, geometry, depth(1), MonochromePalette(colours, true), {0b10});
    EXPECT_EQ(screen.Pixel(0, 0), 0x0000FF00u);
    EXPECT_EQ(screen.Pixel(1, 0), 0x00563412u);
}

TEST(MonochromeTest, PixelsRunDownEachColumnFirst) {
    // Three rows: bit 3 of the first byte is the top pixel of column 1.
    const ScreenGeometry geometry{3, 3, 2};
    CLumImage screen = screenFor(geometry);
    ASSERT_EQ(screen.Height(), 5);
    ConvertScreen(screen, geometry, depth(1), MonochromePalette({}, false), {0b00001000, 0});
    EXPECT_EQ(screen.Pixel(1, 2), 0u);
    EXPECT_EQ(screen.Pixel(0, 2), kWhite);
    EXPECT_EQ(screen.Pixel(0, 3), kWhite);
    EXPECT_EQ(screen.Pixel(1, 3), kWhite);
    EXPECT_EQ(screen.Pixel(1, 0), 0u); // the panel rows are not the display's
}

TEST(PaletteScreenTest, ValuesCrossByteBoundaries) {
    // Three bits per pixel, one column of eight pixels: values 0..7 packed LSB first.
    const ScreenGeometry geometry{1, 8, 11};
    CLumImage screen = screenFor(geometry);
    Palette palette(8);
    for (std::uint32_t i = 0; i < 8; ++i) {
        palette[i] = 0x010101u * i;
    }
    // 000 001 010 011 100 101 110 111 read from bit 0 upwards.
    ConvertScreen(screen, geometry, depth(3), palette, {0b10001000, 0b11000110, 0b11111010});
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(screen.Pixel(0, y), 0x010101u * static_cast<std::uint32_t>(y)) << y;
    }
    EXPECT_EQ(screen.Height(), 19); // the unused panel rows of a deep model stay below
}

// Entries are written unchanged; an index beyond the palette is black.
TEST(PaletteScreenTest, PaletteEntriesAreWrittenUnchanged) {
    const ScreenGeometry geometry{3, 1, 0};
    CLumImage screen = screenFor(geometry);
    ConvertScreen(screen, geometry, depth(8), {0x112233u, 0x445566u}, {1, 0, 200});
    EXPECT_EQ(screen.Pixel(0, 0), 0x445566u);
    EXPECT_EQ(screen.Pixel(1, 0), 0x112233u);
    EXPECT_EQ(screen.Pixel(2, 0), 0u);
}

TEST(DirectColourTest, MoreThanSixteenBitsConvertsNothing) {
    const ScreenGeometry geometry{1, 1, 0};
    CLumImage screen = screenFor(geometry);
    DisplayParameters params = rgb565();
    params.bitsPerPixel = 24;
    ConvertScreen(screen, geometry, params, {}, {0xFF, 0xFF, 0xFF});
    EXPECT_EQ(screen.Pixel(0, 0), 0u);
}

TEST(ConversionBoundsTest, ShortDataConvertsAsFarAsItGoes) {
    const ScreenGeometry geometry{4, 4, 0};
    CLumImage screen = screenFor(geometry);
    ConvertScreen(screen, geometry, depth(8), {kWhite}, {0, 0, 0, 0, 0}); // column 0 and one more
    EXPECT_EQ(screen.Pixel(0, 3), kWhite);
    EXPECT_EQ(screen.Pixel(1, 0), kWhite);
    EXPECT_EQ(screen.Pixel(1, 1), 0u);

    ConvertScreen(screen, geometry, rgb565(), {}, {0xFF}); // not even one word
    EXPECT_EQ(screen.Pixel(0, 0), kWhite);
}

// An image smaller than the display is clipped; an empty image and a depth of
// zero are skipped.
TEST(ConversionBoundsTest, SmallEmptyAndZeroDepthConversionsStayInBounds) {
    CLumImage small;
    ASSERT_TRUE(small.Create(2, 2));
    const ScreenGeometry geometry{4, 4, 0};
    ConvertScreen(small, geometry, depth(8), Palette(256, kWhite), Bytes(16, 0));
    EXPECT_EQ(small.Pixel(1, 1), kWhite);

    CLumImage empty;
    ConvertScreen(empty, geometry, depth(8), {kWhite}, Bytes(16, 0));
    EXPECT_TRUE(empty.IsEmpty());
    CLumImage screen = screenFor(geometry);
    ConvertScreen(screen, geometry, depth(0), {kWhite}, Bytes(16, 0));
    EXPECT_EQ(screen.Pixel(0, 0), 0u);
}

TEST(ScreenImageTest, SizeIsTheDisplayPlusThePanel) {
    CLumImage screen;
    EXPECT_TRUE(CreateScreenImage(screen, {128, 64, 11}));
    EXPECT_EQ(screen.Width(), 128);
    EXPECT_EQ(screen.Height(), 75);
    EXPECT_FALSE(CreateScreenImage(screen, {0, 64, 11}));
    EXPECT_TRUE(screen.IsEmpty());
}

} // namespace
} // namespace ombrix::render
