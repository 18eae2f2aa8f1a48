// The replies' byte layouts that no model of the catalogue shows whole; the
// rest every integration test reads through the application's own decoders.
#include "protocol/ReplyEncoder.h"

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
