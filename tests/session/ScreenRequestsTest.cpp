#include "session/ScreenRequests.h"

#include "ScriptedSession.h"

#include <gtest/gtest.h>

namespace ombrix::session {
namespace {

constexpr link::Serial kSerial = 9;

std::string raw(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Decoders over literal bytes.

TEST(ScreenParametersTest, ATwoBytePayloadSetsOnlyTheDepth) {
    DisplayParameters params;
    DecodeScreenParameters({0x08, 0x00}, params);
    EXPECT_EQ(params.bitsPerPixel, 8u);
    EXPECT_EQ(params.gamma, 1.0);
    EXPECT_EQ(params.colourLayoutValid, 0);
}

TEST(ScreenParametersTest, AFullPayloadDescribes565) {
    DisplayParameters params;
    DecodeScreenParameters({16, 0, 100, 0, 11, 0, 5, 0, 0, 0, 5, 0, 6, 0, 5, 0}, params);
    EXPECT_EQ(params.bitsPerPixel, 16u);
    EXPECT_EQ(params.colourLayoutValid, 1);
    const PixelTranslator& t = params.translator;
    EXPECT_EQ(t.redShift, 11u);
    EXPECT_EQ(t.greenShift, 5u);
    EXPECT_EQ(t.redMask, 0x1Fu);
    EXPECT_EQ(t.greenMask, 0x3Fu);
    EXPECT_EQ(t.redLeftShift, 3u);
    EXPECT_EQ(t.greenLeftShift, 2u);
    EXPECT_EQ(t.Translate(0xF800), 0xF80000u);
    EXPECT_EQ(t.Translate(0x07E0), 0x00FC00u);
    EXPECT_EQ(t.Translate(0xFFFF), 0xF8FCF8u);
}

TEST(ScreenParametersTest, LimitedValuesLeaveTheLayoutInvalid) {
    DisplayParameters params;
    DecodeScreenParameters({16, 0, 100, 0, 11, 0, 5, 0, 0, 0, 9, 0, 6, 0, 5, 0}, params);
    EXPECT_EQ(params.translator.redMask, 0xFFu);
    EXPECT_EQ(params.translator.redLeftShift, 0u);
    EXPECT_EQ(params.colourLayoutValid, 0);

    DecodeScreenParameters({16, 0, 100, 0, 40, 0, 5, 0, 0, 0, 5, 0, 6, 0, 5, 0}, params);
    EXPECT_EQ(params.translator.redShift, 31u);
    EXPECT_EQ(params.colourLayoutValid, 0);
}

TEST(PaletteTest, GammaIsAppliedWithTruncation) {
    const Palette identity = PaletteFromPayload(2, 1.0, {128, 64, 255});
    EXPECT_EQ(identity[0], 0x8040FFu);
    const Palette corrected = PaletteFromPayload(2, 2.2, {128, 128, 128});
    EXPECT_EQ(corrected[0], 0x373737u); // 55 per channel
}

// A palette is as long as the depth gives, whatever the payload holds; one bit
// and direct colour have none.
TEST(PaletteTest, ThePaletteHasTheSizeOfTheDepth) {
    EXPECT_EQ(PaletteFromPayload(2, 1.0, {1, 2, 3, 4}), (Palette{0x010203u, 0, 0, 0}));
    EXPECT_EQ(PaletteFromPayload(4, 1.0, {}), Palette(16, 0u));
    EXPECT_EQ(PaletteFromPayload(2, 1.0, Bytes(3 * 10, 0xFF)), Palette(4, 0xFFFFFFu));
    for (const std::uint32_t bits : {1u, 16u, 24u}) {
        EXPECT_TRUE(PaletteFromPayload(bits, 1.0, {1, 2, 3}).empty()) << bits;
    }
}

// Status bits come from the first pair, the words sign-extended.
TEST(IconWordsTest, StatusComesFromTheFirstPairAndWordsAreSignExtended) {
    IconState state;
    state.StatusWord = 0x0104; // bit 2 is cleared, other bits kept
    DecodeIcons({0x00, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, state);
    EXPECT_EQ(state.StatusWord, 0x0100 | kStatusNewScreen);

    DecodeIcons({0x00, 0xC0, 0x00, 0x40, 0, 0, 0, 0, 0, 0, 0, 0}, state);
    EXPECT_EQ(state.StatusWord, 0x0100 | kStatusBacklight);

    DecodeIcons({0x01, 0x80, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF}, state);
    EXPECT_EQ(state.iconWords, (std::vector<std::int32_t>{-32767, 0x7FFF, 0, 0, 0, -1}));
}

TEST(ScreenByteCountTest, CountsWholeBytes) {
    EXPECT_EQ(ScreenByteCount(128, 64, 1), 1024u);
    EXPECT_EQ(ScreenByteCount(320, 240, 16), 153600u);
    EXPECT_EQ(ScreenByteCount(3, 3, 1), 1u);
    EXPECT_EQ(ScreenByteCount(0, 64, 1), 0u);
    EXPECT_EQ(ScreenByteCount(-1, 64, 8), 0u);
    EXPECT_EQ(ScreenByteCount(65536, 65536, 32), 0u); // does not fit the protocol's count
    EXPECT_EQ(ScreenByteCount(320, 240, 65535), 0u);  // no such depth
}

// Requests over a scripted instrument.

class ScreenRequestsTest : public testing::ScriptedSession {
protected:
    link::ScriptedDevice& device = addInstrument("sock:/i", kSerial);

    void SetUp() override { open(kSerial); }
};

TEST_F(ScreenRequestsTest, TheMarkerMeansAOneBitScreen) {
    device.answer("#7,SP,1;", "#7,?;");
    DisplayParameters params;
    params.bitsPerPixel = 8;
    params.colourLayoutValid = 1;
    QueryScreenParameters(source, params, kSerial);
    EXPECT_EQ(params.bitsPerPixel, 1u);
    EXPECT_EQ(params.colourLayoutValid, 0);
    EXPECT_TRUE(deviceOpen(kSerial));
}

TEST_F(ScreenRequestsTest, ADepthTheProtocolDoesNotHaveIsMalformed) {
    for (const std::uint16_t depth : {0, 3, 12, 65535, 24}) {
        SCOPED_TRACE(depth);
        device.answer("#7,SP,1;",
                      testing::Block("#7,SP,1,", Bytes{static_cast<std::uint8_t>(depth),
                                                       static_cast<std::uint8_t>(depth >> 8)}));
        DisplayParameters params;
        params.bitsPerPixel = 4;
        const bool supported = depth == 24;
        EXPECT_EQ(failureCode([&] { QueryScreenParameters(source, params, kSerial); }),
                  supported ? -1 : 1);
        EXPECT_EQ(params.bitsPerPixel, supported ? 24u : 4u);
        EXPECT_EQ(deviceOpen(kSerial), supported);
        if (!supported) {
            open(kSerial);
        }
    }
}

TEST_F(ScreenRequestsTest, PaletteIsRequestedOnlyForPaletteDepths) {
    device.answer("#7,SP,2;", testing::Block("#7,SP,2,", {255, 0, 0, 0, 255, 0}));
    DisplayParameters params;
    Palette palette{1, 2};
    BuildPalette(source, params, palette, kSerial);
    EXPECT_TRUE(palette.empty());
    params.bitsPerPixel = 16;
    BuildPalette(source, params, palette, kSerial);
    EXPECT_TRUE(palette.empty());
    EXPECT_EQ(device.written().find("#7,SP,2;"), std::string::npos);

    params.bitsPerPixel = 4;
    BuildPalette(source, params, palette, kSerial);
    ASSERT_EQ(palette.size(), 16u);
    EXPECT_EQ(palette[0], 0xFF0000u);
    EXPECT_EQ(palette[1], 0x00FF00u);
}

TEST_F(ScreenRequestsTest, StatusOfADeepScreenComesFromItsBlock) {
    device.answer("#7,SP,3;", testing::Block("#7,SP,3,", {0x03, 0x00, 0x99}));
    IconState state;
    state.iconWords = {1, 2};
    DisplayParameters params;
    params.bitsPerPixel = 8;
    QueryStatus(source, state, params, kSerial);
    EXPECT_EQ(state.StatusWord, 3);
    EXPECT_TRUE(state.iconWords.empty());
    EXPECT_EQ(device.writes().back(), "#7,SP,3;");
}

TEST_F(ScreenRequestsTest, UnsupportedStatusIsCodeTwoAndKeepsTheDevice) {
    device.answer("#7,SP,3;", "#7,?;");
    device.answer("#7,IC;", "#7,?;");
    IconState state;
    DisplayParameters deep;
    deep.bitsPerPixel = 4;
    EXPECT_EQ(failureCode([&] { QueryStatus(source, state, deep, kSerial); }), 2);
    EXPECT_EQ(failureCode([&] { QueryStatus(source, state, DisplayParameters{}, kSerial); }), 2);
    EXPECT_TRUE(deviceOpen(kSerial));
}

TEST_F(ScreenRequestsTest, AStatusPayloadWithoutAWordIsMalformed) {
    device.answer("#7,SP,3;", testing::Block("#7,SP,3,", {0x01}));
    IconState state;
    DisplayParameters params;
    params.bitsPerPixel = 8;
    EXPECT_EQ(failureCode([&] { QueryStatus(source, state, params, kSerial); }), 1);
    EXPECT_FALSE(deviceOpen(kSerial));
}

TEST_F(ScreenRequestsTest, IconsOfAOneBitScreen) {
    device.answer("#7,IC;", raw({0x05, 0x40, 0x04, 0x00, 1, 0, 0, 0, 0, 0, 0, 0}));
    IconState state;
    QueryStatus(source, state, DisplayParameters{}, kSerial);
    EXPECT_EQ(device.writes().back(), "#7,IC;");
    EXPECT_EQ(state.iconWords, (std::vector<std::int32_t>{0x4005, 4, 1, 0, 0, 0}));
    EXPECT_EQ(state.StatusWord, kStatusNewScreen);
}

// A full block with a "?" at index three is data; a short one is malformed.
TEST_F(ScreenRequestsTest, AnIconBlockIsTwelveBytesOfData) {
    device.answer("#7,IC;", raw({0x00, 0x00, 0x00, '?', 0, 0, 0, 0, 0, 0, 0, 0}));
    IconState state;
    QueryIcons(source, state, kSerial);
    EXPECT_EQ(state.iconWords[1], 0x3F00);

    device.answer("#7,IC;", raw({0x00, 0x40, 0x00}));
    EXPECT_EQ(failureCode([&] { QueryIcons(source, state, kSerial); }), 1);
    EXPECT_FALSE(deviceOpen(kSerial));
}

// The screen is read to its exact size; nothing is asked for an empty one, and
// a short one times out.
TEST_F(ScreenRequestsTest, TheScreenIsReadToTheExactSize) {
    Bytes screen{1, 2};
    ReadScreen(source, screen, 0, kSerial);
    EXPECT_TRUE(screen.empty());
    EXPECT_EQ(device.written().find("#7,SC;"), std::string::npos);

    device.answer("#7,SC;", std::string(1024, '\x0F') + "extra");
    ReadScreen(source, screen, ScreenByteCount(128, 64, 1), kSerial);
    EXPECT_EQ(screen.size(), 1024u);

    device.answer("#7,SC;", std::string(1000, '\x0F'));
    EXPECT_EQ(failureCode([&] { ReadScreen(source, screen, 1024, kSerial); }), 1);
    EXPECT_FALSE(deviceOpen(kSerial));
}

} // namespace
} // namespace ombrix::session
