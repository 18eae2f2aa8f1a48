#include "session/DataSource.h"

#include "ScriptedSession.h"

#include <gtest/gtest.h>

namespace ombrix::session {
namespace {

using link::ReplyPiece;
using namespace std::chrono_literals;

constexpr link::Serial kSerial = 31;

Bytes bytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

class DataSourceTest : public testing::ScriptedSession {
protected:
    link::ScriptedDevice& device = addInstrument("sock:/i", kSerial);

    void SetUp() override { open(kSerial); }

    template <typename Operation> void expectFailure(std::int32_t code, Operation operation) {
        EXPECT_EQ(failureCode(operation), code);
    }
};

TEST_F(DataSourceTest, AKeyIsSixBytesWithTheRawCode) {
    source.SendKey(0x41, kSerial);
    EXPECT_EQ(bytes(device.writes().back()), (Bytes{0x3B, 0x23, 0x30, 0x2C, 0x41, 0x3B}));
    source.SendKey(';', kSerial);
    EXPECT_EQ(device.writes().back(), ";#0,;;");
    source.SendKey(0x00, kSerial);
    EXPECT_EQ(device.writes().back(), std::string(";#0,\0;", 6));
}

TEST_F(DataSourceTest, TextRepliesEndAtTheFirstSemicolonAfterThePause) {
    device.answer("#7,US;", std::vector<ReplyPiece>{{0ms, "#7,US,"}, {30ms, "12;rest"}});
    const link::Ticks before = clock.ticks();
    EXPECT_EQ(source.RequestText(kSerial, "#7,US;"), "#7,US,12;");
    EXPECT_GE(link::elapsedSince(before, clock.ticks()), 10u);
}

TEST_F(DataSourceTest, ABlockIsHeaderLittleEndianLengthAndPayload) {
    device.answer("#7,SP,1;", testing::Block("#7,SP,1,", std::string("\x10\x00\xDC\x00", 4)));
    const BlockReply reply = source.RequestBlock(kSerial, "#7,SP,1;");
    EXPECT_FALSE(reply.notSupported);
    EXPECT_EQ(reply.payload, (Bytes{0x10, 0x00, 0xDC, 0x00}));
    device.answer("#7,SP,3;", testing::Block("#7,SP,3,", std::string(300, 'p')));
    EXPECT_EQ(source.RequestBlock(kSerial, "#7,SP,3;").payload.size(), 300u);
}

TEST_F(DataSourceTest, TheMarkerEndsTheHeaderReadAtOnceAndKeepsTheDevice) {
    device.answer("#7,SP,3;", "#7,?;");
    const link::Ticks before = clock.ticks();
    EXPECT_TRUE(source.RequestBlock(kSerial, "#7,SP,3;").notSupported);
    EXPECT_LT(link::elapsedSince(before, clock.ticks()), 100u);
    EXPECT_TRUE(deviceOpen(kSerial));
}

// A "?" before index three, another header, a payload shorter than announced
// and a missing length each close the device.
TEST_F(DataSourceTest, AMalformedOrShortBlockIsALinkFailure) {
    for (const std::string& reply :
         {std::string("#?"), testing::Block("#7,SP,3,", "ab"),
          testing::Block("#7,SP,1,", "abcd").substr(0, 11), std::string("#7,SP,1,")}) {
        SCOPED_TRACE(reply);
        device.answer("#7,SP,1;", reply);
        expectFailure(1, [&] { source.RequestBlock(kSerial, "#7,SP,1;"); });
        EXPECT_FALSE(deviceOpen(kSerial));
        open(kSerial);
    }
}

TEST_F(DataSourceTest, AFixedHeaderBlockCarriesItsLengthInBytesEightAndNine) {
    device.answer("#7,SP,2;", testing::Block("#7,SP,2,", "\x01\x02\x03"));
    EXPECT_EQ(source.RequestFixedHeaderBlock(kSerial, "#7,SP,2;"), (Bytes{1, 2, 3}));

    device.answer("#7,SP,2;", testing::Block("#7,SP,2,", ""));
    EXPECT_TRUE(source.RequestFixedHeaderBlock(kSerial, "#7,SP,2;").empty());

    device.answer("#7,SP,2;", testing::Block("#7,XX,2,", "abc"));
    expectFailure(1, [&] { source.RequestFixedHeaderBlock(kSerial, "#7,SP,2;"); });
}

TEST_F(DataSourceTest, FixedSizeRepliesStopAtTheStopByte) {
    device.answer("#7,IC;", "#7,?;");
    const Bytes reply = source.RequestBytes(kSerial, "#7,IC;", 12, '?');
    EXPECT_TRUE(DataSource::IsNotSupported(reply));

    device.answer("#7,SC;", std::string(1024, '\xAA'));
    EXPECT_EQ(source.RequestBytes(kSerial, "#7,SC;", 1024, std::nullopt).size(), 1024u);
}

TEST_F(DataSourceTest, AStaleReplyDoesNotCorruptTheNextOne) {
    device.answer("#7,SP,1;", testing::Block("#7,SP,1,", "ab"));
    source.SendKey(0x61, kSerial);
    device.send("#0,a;"); // an echo nobody reads
    EXPECT_EQ(source.RequestBlock(kSerial, "#7,SP,1;").payload, bytes("ab"));
}

TEST(BlockHeaderTest, TheFinalSemicolonBecomesAComma) {
    EXPECT_EQ(BlockHeader("#7,SP,1;"), "#7,SP,1,");
    EXPECT_EQ(BlockHeader("#7,IC"), "#7,IC");
    EXPECT_EQ(BlockHeader(""), "");
}

} // namespace
} // namespace ombrix::session
