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

Bytes concat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(IdentificationReplies, CarryTypeLetterFirmwareSerialAndS) {
    const Identification& mono = findModel("mono")->identification;
    EXPECT_EQ(encodeIdentification(mono, 10745), text("#1,U745A,W1.05.3,N10745,S2A4F;"));
    EXPECT_EQ(encodeShortIdentification(mono, 555), text("#1,U745A,N555;"));
}

TEST(IdentificationReplies, OldFirmwareHasNoSField) {
    const Identification& legacy = findModel("legacy")->identification;
    EXPECT_EQ(encodeIdentification(legacy, 40741), text("#1,U741,W152b,N40741;"));
}

TEST(IdentificationReplies, GarbageIsClosedButHoldsNoIdentificationMark) {
    const Bytes garbage = encodeGarbageIdentification();
    const std::string asText(garbage.begin(), garbage.end());
    EXPECT_EQ(asText.find("#1,U"), std::string::npos);
    EXPECT_EQ(asText.find(';'), asText.size() - 1);
}

TEST(UsReply, PutsTheValueBetweenCommaAndSemicolon) {
    EXPECT_EQ(encodeUsValue(3), text("#7,US,3;"));
    EXPECT_EQ(encodeUsValue(-12), text("#7,US,-12;"));
}

TEST(ScreenParametersReply, DirectColourCarriesBitsGammaAndTheSixLayoutWords) {
    const Bytes expected =
        concat(text("#7,SP,1,"), {0x10, 0x00, 0x10, 0x00, 0x64, 0x00, 0x0B, 0x00, 0x05, 0x00, 0x00,
                                  0x00, 0x05, 0x00, 0x06, 0x00, 0x05, 0x00});
    EXPECT_EQ(encodeScreenParameters(*findModel("colour")), expected);
}

TEST(ScreenParametersReply, PaletteModelCarriesOnlyBitsAndGamma) {
    const Bytes expected = concat(text("#7,SP,1,"), {0x04, 0x00, 0x04, 0x00, 0xDC, 0x00});
    EXPECT_EQ(encodeScreenParameters(*findModel("palette")), expected);
}

TEST(PaletteReply, ListsRedGreenBluePerEntryAfterTheLength) {
    const std::vector<PaletteEntry> palette{{1, 2, 3}, {250, 251, 252}};
    const Bytes expected = concat(text("#7,SP,2,"), {0x06, 0x00, 1, 2, 3, 250, 251, 252});
    EXPECT_EQ(encodePalette(palette), expected);
}

TEST(PaletteReply, SixteenEntriesMakeALengthOf48) {
    const Bytes reply = encodePalette(findModel("palette")->palette);
    ASSERT_EQ(reply.size(), 10U + 48U);
    EXPECT_EQ(reply[8], 48);
    EXPECT_EQ(reply[9], 0);
}

TEST(StatusReply, IsAOneWordBlock) {
    EXPECT_EQ(encodeStatus(0x0203), concat(text("#7,SP,3,"), {0x02, 0x00, 0x03, 0x02}));
}

TEST(IconReply, IsTwelveBytesOfLittleEndianWords) {
    const IconWords words{0xC001, 0x0002, 0x0300, 0x0004, 0x0005, 0xABCD};
    EXPECT_EQ(encodeIcons(words),
              (Bytes{0x01, 0xC0, 0x02, 0x00, 0x00, 0x03, 0x04, 0x00, 0x05, 0x00, 0xCD, 0xAB}));
}

TEST(NotSupportedReply, HasTheQuestionMarkAtIndexThreeAndEndsWithSemicolon) {
    const Bytes marker = encodeNotSupported();
    ASSERT_GE(marker.size(), 4U);
    EXPECT_EQ(marker[3], '?');
    EXPECT_EQ(marker.back(), ';');
}

TEST(Blocks, RefuseAPayloadBeyondSixteenBitLength) {
    const Bytes largest(0xFFFF, 0);
    EXPECT_EQ(encodeBlock("#7,SP,2,", largest).size(), 8U + 2U + 0xFFFFU);
    const Bytes tooLarge(0x10000, 0);
    EXPECT_THROW(encodeBlock("#7,SP,2,", tooLarge), std::length_error);
}

} // namespace
} // namespace ombrix::sim
