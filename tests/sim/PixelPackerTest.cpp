#include "screen/PixelPacker.h"

#include "catalogue/ModelCatalogue.h"
#include "instrument/SimulatedInstrument.h"
#include "screen/FrontPanel.h"
#include "screen/LiveScreen.h"
#include "screen/PixelEncoder.h"
#include "screen/Theme.h"

#include <gtest/gtest.h>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

namespace ombrix::sim {
namespace {

using Pixels = std::map<std::pair<int, int>, std::uint32_t>;
using Bytes = std::vector<std::uint8_t>;

Bytes packed(int width, int height, int bitsPerPixel, const Pixels& pixels) {
    const PixelPacker packer(width, height, bitsPerPixel);
    return packer.pack([&](int x, int y) {
        const auto found = pixels.find({x, y});
        return found == pixels.end() ? 0U : found->second;
    });
}

TEST(PixelPacker, ThreePixelHighDisplayPutsTopOfColumnOneInBitThree) {
    EXPECT_EQ(packed(8, 3, 1, {{{1, 0}, 1}}), (Bytes{0x08, 0x00, 0x00}));
}

TEST(PixelPacker, PixelsCrossingAByteTakeTheirLowBitsFromTheFirstByte) {
    // Values 5, 6, 7 at three bits each: 101 011 111 read least significant bit
    // first, so the top bit of the third value is bit 0 of byte 1.
    EXPECT_EQ(packed(1, 8, 3, {{{0, 0}, 5}, {{0, 1}, 6}, {{0, 2}, 7}, {{0, 7}, 1}}),
              (Bytes{0xF5, 0x01, 0x20}));
}

TEST(PixelPacker, ValuesWiderThanThePixelKeepOnlyTheirLowBits) {
    EXPECT_EQ(packed(2, 1, 4, {{{0, 0}, 0xF3}, {{1, 0}, 0x1}}), (Bytes{0x13}));
}

TEST(PixelPacker, SizeNotAWholeNumberOfBytesDropsTheLastBits) {
    const PixelPacker packer(3, 3, 1);
    EXPECT_EQ(packer.byteCount(), 1U);
    EXPECT_EQ(packed(3, 3, 1, {{{2, 2}, 1}}), (Bytes{0x00}));
}

TEST(PixelPacker, RefusesImpossibleFormats) {
    EXPECT_THROW(PixelPacker(4, 4, 0), std::invalid_argument);
    EXPECT_THROW(PixelPacker(4, 4, 33), std::invalid_argument);
    EXPECT_THROW(PixelPacker(-1, 4, 1), std::invalid_argument);
}

TEST(PixelEncoder, MonochromeInkIsOneAndPaperIsZero) {
    const PixelEncoder encoder(*findModel("mono"));
    EXPECT_EQ(encoder.valueOf(qRgb(0, 0, 0)), 1U);
    EXPECT_EQ(encoder.valueOf(qRgb(255, 255, 255)), 0U);
}

TEST(PixelEncoder, DirectColourCutsChannelsToTheFiveSixFiveLayout) {
    const PixelEncoder encoder(*findModel("colour"));
    EXPECT_EQ(encoder.valueOf(qRgb(255, 0, 0)), 0xF800U);
    EXPECT_EQ(encoder.valueOf(qRgb(0, 255, 0)), 0x07E0U);
    EXPECT_EQ(encoder.valueOf(qRgb(0, 0, 255)), 0x001FU);
    EXPECT_EQ(encoder.valueOf(qRgb(8, 4, 8)), 0x0821U);
}

TEST(PixelEncoder, EachShownPaletteColourEncodesAsItsOwnIndex) {
    const InstrumentModel& model = *findModel("palette");
    const PixelEncoder encoder(model);
    const auto shown = Theme::displayedPalette(model);
    ASSERT_EQ(shown.size(), 16U);
    for (std::uint32_t index = 0; index < shown.size(); ++index) {
        EXPECT_EQ(encoder.valueOf(shown[index]), index);
    }
}

TEST(Theme, ShownPaletteAppliesTheGammaAsTheReceiverDoes) {
    // 2.2 maps 128 to truncate(pow(128 / 255, 2.2) * 255) = 55.
    InstrumentModel model = *findModel("palette");
    const std::vector<PaletteEntry> palette{{128, 255, 0}};
    model.palette = palette;
    EXPECT_EQ(Theme::displayedPalette(model), std::vector<QRgb>{qRgb(55, 255, 0)});
}

// Pixel (x, y) read back from a column-major, least-significant-bit-first stream.
std::uint32_t unpacked(const Bytes& frame, int height, int bits, int x, int y) {
    const std::size_t first = (static_cast<std::size_t>(x) * height + y) * bits;
    std::uint32_t value = 0;
    for (int bit = 0; bit < bits; ++bit) {
        const std::size_t position = first + bit;
        value |= ((frame.at(position / 8) >> (position % 8)) & 1U) << bit;
    }
    return value;
}

TEST(LiveScreen, FrameHoldsEveryDrawnPixelAtItsPlaceForEveryModel) {
    for (const InstrumentModel& model : allModels()) {
        SCOPED_TRACE(std::string(model.key));
        FrontPanel panel(model.keys, 3);
        panel.pressKey(model.keys.menu); // a page with text, a highlight and a rule
        LiveScreen screen(model, 3);
        screen.update(panel);
        const PixelEncoder encoder(model);
        ASSERT_EQ(screen.image().size(), QSize(model.width, model.height));
        for (int x = 0; x < model.width; ++x) {
            for (int y = 0; y < model.height; ++y) {
                ASSERT_EQ(unpacked(screen.frame(), model.height, model.bitsPerPixel, x, y),
                          encoder.valueOf(screen.image().pixel(x, y)))
                    << x << "," << y;
            }
        }
    }
}

// The screen reply is exactly the packed screen, and the rule under the title
// runs across the whole width in the label's value: row 9 on the 128 x 64
// display, rows 18 and 19 on the larger ones (0x8C9AB4 in 5-6-5 on the colour one).
TEST(LiveScreen, TheScreenReplyHoldsTheWholeScreenWithItsRule) {
    for (const InstrumentModel& model : allModels()) {
        SCOPED_TRACE(std::string(model.key));
        SimulatedInstrument instrument(model, 1);
        const Bytes frame = instrument.answer({CommandKind::Screen, 0}, {}).value();
        EXPECT_EQ(frame.size(),
                  static_cast<std::size_t>(model.width * model.height * model.bitsPerPixel / 8));
        const std::map<std::string_view, std::pair<int, std::uint32_t>> rules{
            {"mono", {9, 1}}, {"palette", {18, 3}}, {"colour", {19, 0x8CD6}}};
        const auto rule = rules.find(model.key);
        for (int x = 0; rule != rules.end() && x < model.width; ++x) {
            const auto [row, value] = rule->second;
            ASSERT_EQ(unpacked(frame, model.height, model.bitsPerPixel, x, row), value) << x;
        }
    }
}

} // namespace
} // namespace ombrix::sim
