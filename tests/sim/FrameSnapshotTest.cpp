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

// A frozen port keeps its screen while the clock ticks, and moves again when thawed.
TEST(FrozenPort, KeepsItsScreenUntilThawed) {
    Recorder recorder;
    InstrumentPort port{1, "unused.sock", std::make_unique<SimulatedInstrument>(model("colour"), 7),
                        recorder};
    port.setFrozen(true);
    const QImage before = port.instrument().snapshot();
    port.tick();
    port.tick();
    EXPECT_EQ(port.instrument().snapshot(), before);
    port.setFrozen(false);
    port.tick();
    EXPECT_NE(port.instrument().snapshot(), before);
}

} // namespace
} // namespace ombrix::sim
