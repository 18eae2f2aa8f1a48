#include "screen/FrameSnapshot.h"

#include "catalogue/ModelCatalogue.h"
#include "instrument/InstrumentPort.h"
#include "instrument/SimulatedInstrument.h"
#include "screen/PixelPacker.h"

#include <gtest/gtest.h>
#include <memory>

namespace ombrix::sim {
namespace {

const InstrumentModel& model(std::string_view key) {
    return *findModel(key);
}

// The pixel value a snapshot pixel stands for, read back by its documented rule.
std::uint32_t valueShown(const InstrumentModel& model, const QImage& picture, int x, int y) {
    if (!model.colourLayout) {
        return static_cast<std::uint32_t>(picture.pixelIndex(x, y));
    }
    const ColourLayout& layout = *model.colourLayout;
    const QRgb colour = picture.pixel(x, y);
    const auto field = [](int channel, std::uint16_t shift, std::uint16_t width) {
        return (static_cast<std::uint32_t>(channel) >> (8 - width)) << shift;
    };
    return field(qRed(colour), layout.redShift, layout.redWidth) |
           field(qGreen(colour), layout.greenShift, layout.greenWidth) |
           field(qBlue(colour), layout.blueShift, layout.blueWidth);
}

Bytes screenBytes(SimulatedInstrument& instrument) {
    return instrument.answer({CommandKind::Screen, 0}, FaultSettings{}).value();
}

TEST(FrameSnapshot, OneBitIsIndexedWhiteForClearAndBlackForSet) {
    const QImage picture =
        FrameSnapshot(model("mono")).picture([](int x, int) { return x == 1 ? 1U : 0U; });
    ASSERT_EQ(picture.format(), QImage::Format_Indexed8);
    EXPECT_EQ(picture.pixelIndex(1, 5), 1);
    EXPECT_EQ(picture.pixel(1, 5), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(0, 5), qRgb(255, 255, 255));
}

TEST(FrameSnapshot, PaletteIndexesCarryThePaletteAsSent) {
    const InstrumentModel& palette = model("palette");
    const QImage picture = FrameSnapshot(palette).picture([](int x, int) { return x % 16U; });
    ASSERT_EQ(picture.format(), QImage::Format_Indexed8);
    EXPECT_EQ(picture.pixelIndex(9, 0), 9);
    const PaletteEntry& entry = palette.palette[9];
    EXPECT_EQ(picture.pixel(9, 0), qRgb(entry.red, entry.green, entry.blue)); // before the gamma
}

TEST(FrameSnapshot, DirectColourMovesEachFieldToTheTopOfItsByte) {
    const QImage picture = FrameSnapshot(model("colour")).picture([](int x, int) {
        return std::array<std::uint32_t, 3>{0xF800, 0x07E0,
                                            0x0821}[static_cast<std::size_t>(x % 3)];
    });
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0xF8, 0, 0));
    EXPECT_EQ(picture.pixel(1, 0), qRgb(0, 0xFC, 0));
    EXPECT_EQ(picture.pixel(2, 0), qRgb(0x08, 0x04, 0x08));
}

// Packing the values the snapshot shows gives exactly the bytes "#7,SC;" sends.
TEST(FrameSnapshot, ShowsTheValuesTheScreenReplyPacks) {
    for (const InstrumentModel& each : allModels()) {
        SimulatedInstrument instrument(each, 99);
        const QImage picture = instrument.snapshot();
        ASSERT_EQ(picture.size(), QSize(each.width, each.height)) << each.key;
        const PixelPacker packer(each.width, each.height, each.bitsPerPixel);
        const Bytes repacked =
            packer.pack([&](int x, int y) { return valueShown(each, picture, x, y); });
        EXPECT_EQ(repacked, screenBytes(instrument)) << each.key;
    }
}

class FrozenPort : public testing::Test {
protected:
    Recorder recorder_;
    InstrumentPort port_{1, "unused.sock",
                         std::make_unique<SimulatedInstrument>(model("colour"), 7), recorder_};
};

TEST_F(FrozenPort, KeepsItsScreenWhileTheClockTicks) {
    port_.setFrozen(true);
    const QImage before = port_.instrument().snapshot();
    port_.tick();
    port_.tick();
    EXPECT_EQ(port_.instrument().snapshot(), before);
}

TEST_F(FrozenPort, MovesAgainWhenThawed) {
    const QImage before = port_.instrument().snapshot();
    port_.setFrozen(true);
    port_.setFrozen(false);
    port_.tick();
    EXPECT_NE(port_.instrument().snapshot(), before);
}

} // namespace
} // namespace ombrix::sim
