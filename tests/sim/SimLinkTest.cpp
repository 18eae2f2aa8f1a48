// The simulator's replies read back through the application's own device link.
#include "LinkFixture.h"
#include "catalogue/ModelCatalogue.h"
#include "link/ReplyField.h"

#include <chrono>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace ombrix::sim::testing {
namespace {

using namespace std::chrono_literals;
using session::DataSource;

constexpr std::string_view kIdentify = ";#1,U?,W?,N?,S?;";
constexpr std::uint8_t kStopByte = '?';

std::uint16_t littleEndian(const link::Bytes& bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

// Pixel (x, y) of a column-major, least-significant-bit-first screen.
std::uint32_t pixelAt(const link::Bytes& screen, int height, int bits, int x, int y) {
    const std::size_t first = (static_cast<std::size_t>(x) * height + y) * bits;
    std::uint32_t value = 0;
    for (int bit = 0; bit < bits; ++bit) {
        const std::size_t position = first + bit;
        value |= ((screen.at(position / 8) >> (position % 8)) & 1U) << bit;
    }
    return value;
}

std::uint16_t iconStatus(DataSource& source, link::Serial serial) {
    const link::Bytes icons = source.RequestBytes(serial, "#7,IC;", 12, kStopByte);
    return static_cast<std::uint16_t>(littleEndian(icons, 0) & ~littleEndian(icons, 2));
}

std::uint16_t blockStatus(DataSource& source, link::Serial serial) {
    const auto reply = source.RequestBlock(serial, "#7,SP,3;");
    EXPECT_FALSE(reply.notSupported);
    return littleEndian(reply.payload, 0);
}

class SimLink : public ::testing::Test {
protected:
    SimProcess sim{{"mono", "palette", "colour", "legacy"}};
    link::SystemClock clock;
    AppLink app{sim.deviceDirectory(), clock};

    static link::Serial serialOf(std::string_view model) {
        return findModel(model)->identification.serial;
    }
};

TEST_F(SimLink, DeviceTableHoldsEveryInstrumentsIdentification) {
    app.connection.RefreshDevices();
    const auto& devices = app.connection.Devices();
    ASSERT_EQ(devices.size(), 4U);
    const auto& mono = devices.at(serialOf("mono"));
    EXPECT_EQ(mono.unitType, 745);
    EXPECT_EQ(mono.variant, 1); // the letter A
    EXPECT_EQ(mono.usValue, 1);
    EXPECT_EQ(mono.pathRecord.path, "sock:" + sim.socketPath(1).string());
    EXPECT_EQ(devices.at(serialOf("palette")).usValue, 2);
    EXPECT_EQ(devices.at(serialOf("colour")).unitType, 302);
    EXPECT_EQ(devices.at(serialOf("colour")).usValue, 3);
    EXPECT_EQ(devices.at(serialOf("legacy")).unitType, 741);
    EXPECT_EQ(devices.at(serialOf("legacy")).usValue, 0); // old firmware: no US value
}

TEST_F(SimLink, TextRepliesEndAtTheirSemicolon) {
    const link::Serial serial = app.open(serialOf("mono"));
    EXPECT_EQ(app.source.RequestText(serial, kIdentify), "#1,U745A,W1.05.3,N10745,S2A4F;");
    const std::string us = app.source.RequestText(serial, ";#7,US;");
    EXPECT_EQ(link::ReplyField<std::int32_t>(us, "US", true), 1);
    const std::string shortReply = app.source.RequestText(serial, ";#1,U?,N?;");
    EXPECT_EQ(link::ReplyField<std::uint32_t>(shortReply, "N"), serial);
}

TEST_F(SimLink, ScreenParametersDecodeForEachFormat) {
    const link::Serial colour = app.open(serialOf("colour"));
    const auto direct = app.source.RequestBlock(colour, "#7,SP,1;");
    ASSERT_EQ(direct.payload.size(), 16U);
    EXPECT_EQ(littleEndian(direct.payload, 0), 16);
    EXPECT_EQ(littleEndian(direct.payload, 2), 100);
    EXPECT_EQ(littleEndian(direct.payload, 4), 11); // red shift
    EXPECT_EQ(littleEndian(direct.payload, 12), 6); // green width
    const link::Serial palette = app.open(serialOf("palette"));
    const auto indexed = app.source.RequestBlock(palette, "#7,SP,1;");
    EXPECT_EQ(indexed.payload, (link::Bytes{4, 0, 220, 0}));
}

TEST_F(SimLink, PaletteArrivesAsTheCataloguesTriplets) {
    const link::Serial serial = app.open(serialOf("palette"));
    const link::Bytes payload = app.source.RequestFixedHeaderBlock(serial, "#7,SP,2;");
    link::Bytes expected;
    for (const PaletteEntry& entry : findModel("palette")->palette) {
        expected.insert(expected.end(), {entry.red, entry.green, entry.blue});
    }
    EXPECT_EQ(payload, expected);
}

TEST_F(SimLink, ScreensArriveWholeAndColumnMajor) {
    // The rule under the title runs across the whole width: row 9 on the 128 x 64
    // display, rows 18 and 19 on the larger ones, in the label colour.
    const link::Serial mono = app.open(serialOf("mono"));
    const link::Bytes monoScreen = app.source.RequestBytes(mono, "#7,SC;", 1024, std::nullopt);
    ASSERT_EQ(monoScreen.size(), 1024U);
    const link::Serial palette = app.open(serialOf("palette"));
    const link::Bytes paletteScreen =
        app.source.RequestBytes(palette, "#7,SC;", 240 * 160 / 2, std::nullopt);
    const link::Serial colour = app.open(serialOf("colour"));
    const link::Bytes colourScreen =
        app.source.RequestBytes(colour, "#7,SC;", 320 * 240 * 2, std::nullopt);
    ASSERT_EQ(colourScreen.size(), 153'600U);
    for (int x = 0; x < 128; ++x) {
        ASSERT_EQ(pixelAt(monoScreen, 64, 1, x, 9), 1U) << x;
        ASSERT_EQ(pixelAt(monoScreen, 64, 1, x, 10), 0U) << x;
    }
    for (int x = 0; x < 240; ++x) {
        ASSERT_EQ(pixelAt(paletteScreen, 160, 4, x, 18), 3U) << x; // label: palette entry 3
    }
    for (int x = 0; x < 320; ++x) {
        ASSERT_EQ(pixelAt(colourScreen, 240, 16, x, 19), 0x8CD6U) << x; // 0x8C9AB4 in 5-6-5
    }
}

TEST_F(SimLink, KeyPressesReachTheInstrumentEvenWhenTheCodeIsASemicolon) {
    const link::Serial legacy = app.open(serialOf("legacy"));
    EXPECT_TRUE(iconStatus(app.source, legacy) & 0x8000);
    app.source.SendKey(0x3B, legacy);
    EXPECT_FALSE(iconStatus(app.source, legacy) & 0x8000);
    const link::Serial colour = app.open(serialOf("colour"));
    EXPECT_TRUE(blockStatus(app.source, colour) & 0x0001);
    app.source.SendKey(findModel("colour")->keys.backlight, colour);
    EXPECT_FALSE(blockStatus(app.source, colour) & 0x0001);
}

TEST_F(SimLink, OldFirmwareAnswersScreenParametersWithTheMarker) {
    const link::Serial serial = app.open(serialOf("legacy"));
    EXPECT_TRUE(app.source.RequestBlock(serial, "#7,SP,1;").notSupported);
    EXPECT_TRUE(app.listed(serial));
}

TEST_F(SimLink, NotSupportedFaultIsReportedAndTheDeviceStaysOpen) {
    const link::Serial serial = app.open(serialOf("mono"));
    sim.controlOk("unsupported 1 sp1 on");
    sim.controlOk("unsupported 1 sp3 on");
    sim.controlOk("unsupported 1 ic on");
    EXPECT_TRUE(app.source.RequestBlock(serial, "#7,SP,1;").notSupported);
    EXPECT_TRUE(app.source.RequestBlock(serial, "#7,SP,3;").notSupported);
    EXPECT_TRUE(DataSource::IsNotSupported(app.source.RequestBytes(serial, "#7,IC;", 12, '?')));
    EXPECT_EQ(app.source.RequestText(serial, kIdentify).substr(0, 4), "#1,U");
}

TEST_F(SimLink, GarbageIdentificationKeepsTheInstrumentOutOfTheTable) {
    sim.controlOk("garbage 1 on");
    app.connection.RefreshDevices();
    EXPECT_FALSE(app.listed(serialOf("mono")));
    EXPECT_TRUE(app.listed(serialOf("palette")));
    sim.controlOk("garbage 1 off");
    app.connection.RefreshDevices();
    EXPECT_TRUE(app.listed(serialOf("mono")));
}

TEST_F(SimLink, SwapDropsTheHostAndPutsAnotherModelBehindThePort) {
    const link::Serial serial = app.open(serialOf("mono"));
    sim.controlOk("swap 1 colour 555");
    EXPECT_EQ(failureCode([&] { app.source.RequestText(serial, kIdentify); }), 1);
    app.connection.RefreshDevices();
    EXPECT_FALSE(app.listed(serialOf("mono")));
    ASSERT_TRUE(app.listed(555));
    EXPECT_EQ(app.connection.Devices().at(555).unitType, 302);
    EXPECT_EQ(app.connection.Devices().at(555).usValue, 3);
}

TEST_F(SimLink, TrickledRepliesArriveWholeButNoFasterThanTheGap) {
    const link::Serial serial = app.open(serialOf("mono"));
    sim.controlOk("trickle 1 10");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(app.source.RequestText(serial, kIdentify), "#1,U745A,W1.05.3,N10745,S2A4F;");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 29 * 10ms);
}

TEST_F(SimLink, ByteRateLimitSpreadsTheScreenOverTime) {
    const link::Serial serial = app.open(serialOf("palette"));
    sim.controlOk("rate 2 200000");
    const auto start = std::chrono::steady_clock::now();
    const link::Bytes screen = app.source.RequestBytes(serial, "#7,SC;", 19'200, std::nullopt);
    EXPECT_EQ(screen.size(), 19'200U);
    // 19,200 bytes at 200,000 bytes a second take 96 ms at least.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 90ms);
}

TEST_F(SimLink, HostThatReconnectsAtOnceIsServedEachTime) {
    const std::string path = "sock:" + sim.socketPath(1).string();
    const std::string_view request = ";#1,U?,N?;";
    for (int round = 0; round < 20; ++round) {
        const auto channel = app.backend.open(path);
        ASSERT_NE(channel, nullptr);
        ASSERT_EQ(
            channel->write({reinterpret_cast<const std::uint8_t*>(request.data()), request.size()}),
            request.size());
        std::string reply;
        std::uint8_t buffer[64];
        for (int poll = 0; poll < 500 && !reply.ends_with(';'); ++poll) {
            const auto count = channel->read(buffer);
            ASSERT_TRUE(count.has_value()) << "round " << round;
            reply.append(reinterpret_cast<const char*>(buffer), *count);
        }
        ASSERT_EQ(reply, "#1,U745A,N10745;") << "round " << round;
    }
}

class SimLinkFastClock : public ::testing::Test {
protected:
    SimProcess sim{{"mono"}};
    FastClock clock;
    AppLink app{sim.deviceDirectory(), clock};
};

TEST_F(SimLinkFastClock, BlockCutShortIsALinkFailure) {
    const link::Serial serial = app.open();
    sim.controlOk("cut 1 sp3 9"); // the header and half the length
    EXPECT_EQ(failureCode([&] { app.source.RequestBlock(serial, "#7,SP,3;"); }), 1);
    EXPECT_FALSE(app.listed(serial));
}

TEST_F(SimLinkFastClock, ScreenCutShortIsALinkFailure) {
    const link::Serial serial = app.open();
    sim.controlOk("cut 1 sc 1000");
    EXPECT_EQ(failureCode([&] { app.source.RequestBytes(serial, "#7,SC;", 1024, std::nullopt); }),
              1);
    EXPECT_FALSE(app.listed(serial));
}

TEST_F(SimLinkFastClock, TrickleGapLongerThanTheTimeOutIsALinkFailure) {
    const link::Serial serial = app.open();
    sim.controlOk("trickle 1 600"); // 6 s on this clock
    EXPECT_EQ(failureCode([&] { app.source.RequestText(serial, kIdentify); }), 1);
    EXPECT_FALSE(app.listed(serial));
}

} // namespace
} // namespace ombrix::sim::testing
