// The replies' byte layouts that the application's decoders would read without
// complaint if they were wrong; the rest every integration test reads through them.
#include "protocol/ReplyEncoder.h"

#include "catalogue/ModelCatalogue.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace ombrix::sim {
namespace {

Bytes text(std::string_view value) {
    return Bytes(value.begin(), value.end());
}

TEST(Replies, UsValuesMayBeNegative) {
    EXPECT_EQ(encodeUsValue(-12), text("#7,US,-12;"));
}

// A palette screen's parameters are its depth and gamma, without a colour layout.
TEST(Replies, PaletteScreenParametersCarryOnlyBitsAndGamma) {
    Bytes expected = text("#7,SP,1,");
    expected.insert(expected.end(), {0x04, 0x00, 0x04, 0x00, 0xDC, 0x00});
    EXPECT_EQ(encodeScreenParameters(*findModel("palette")), expected);
}

// Garbage is closed, so the host reads it at once, but holds no identification.
TEST(Replies, GarbageIsClosedButHoldsNoIdentificationMark) {
    const Bytes garbage = encodeGarbageIdentification();
    const std::string asText(garbage.begin(), garbage.end());
    EXPECT_EQ(asText.find("#1,U"), std::string::npos);
    EXPECT_EQ(asText.find(';'), asText.size() - 1);
}

TEST(Replies, IconsAreTwelveBytesOfLittleEndianWords) {
    const IconWords words{0xC001, 0x0002, 0x0300, 0x0004, 0x0005, 0xABCD};
    EXPECT_EQ(encodeIcons(words),
              (Bytes{0x01, 0xC0, 0x02, 0x00, 0x00, 0x03, 0x04, 0x00, 0x05, 0x00, 0xCD, 0xAB}));
}

TEST(Replies, ABlockRefusesAPayloadBeyondASixteenBitLength) {
    const Bytes largest(0xFFFF, 0);
    const Bytes block = encodeBlock("#7,SP,2,", largest);
    ASSERT_EQ(block.size(), 8U + 2U + 0xFFFFU);
    EXPECT_EQ(block[8], 0xFF);
    EXPECT_EQ(block[9], 0xFF);
    const Bytes tooLarge(0x10000, 0);
    EXPECT_THROW(encodeBlock("#7,SP,2,", tooLarge), std::length_error);
}

} // namespace
} // namespace ombrix::sim
