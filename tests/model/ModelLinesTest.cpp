#include "model/ModelLines.h"

#include "ModelTestText.h"
#include "model/ModelFileError.h"

#include <gtest/gtest.h>
#include <limits>

namespace ombrix::model {
namespace {

ModelFileError::Kind refusal(const QByteArray& bytes) {
    try {
        ModelLines::decode(bytes, QStringLiteral("bad.def"));
    } catch (const ModelFileError& error) {
        EXPECT_TRUE(error.message().startsWith(u"bad.def ")) << error.what();
        return error.kind();
    }
    ADD_FAILURE() << "accepted";
    return ModelFileError::Kind::CannotRead;
}

std::int32_t intOf(const char* value) {
    return ReadModelInt(linesOf(QStringLiteral("[Main]\nDisplayWidth=") + QString::fromUtf8(value)),
                        u"Main", u"DisplayWidth", -7);
}

TEST(ModelLinesTest, DecodesWithOrWithoutByteOrderMarkAndEitherLineEnd) {
    const QStringList expected = {QStringLiteral("[MAIN]"), QStringLiteral("A=1"),
                                  QStringLiteral("B=\"X\"")};
    EXPECT_EQ(linesOf(QStringLiteral("[Main]\r\na=1\r\nb=\"x\"\r\n")).lines(), expected);
    const QByteArray noMark = utf16(QStringLiteral("[Main]\na=1\nb=\"x\""), false);
    EXPECT_EQ(ModelLines::decode(noMark, QStringLiteral("x.def")).lines(), expected);
    EXPECT_EQ(ModelLines::fromText(QStringLiteral("\uFFFE[Main]")).lines().front(), u"[MAIN]");
    EXPECT_TRUE(ModelLines::decode({}, QStringLiteral("empty.def")).lines().isEmpty());
}

TEST(ModelLinesTest, RefusesWhatIsNotUtf16LittleEndianText) {
    using Kind = ModelFileError::Kind;
    EXPECT_EQ(refusal(utf16(QStringLiteral("[Main]")).chopped(1)), Kind::Truncated);
    EXPECT_EQ(refusal(QByteArray("[Main]\r\n")), Kind::NotUtf16);           // 8-bit text
    EXPECT_EQ(refusal(QByteArray("\xEF\xBB\xBF[Main]\n")), Kind::NotUtf16); // UTF-8 mark
    EXPECT_EQ(refusal(QByteArray("\xFE\xFF\0[\0M", 6)), Kind::NotUtf16);    // big-endian
    EXPECT_EQ(refusal(utf16(QStringLiteral("[Main]\nA=") + QChar(0))), Kind::NotUtf16);
    EXPECT_EQ(refusal(utf16(QStringLiteral("A=") + QChar(0xD800))), Kind::NotUtf16);
    EXPECT_EQ(refusal(utf16(QStringLiteral("A=") + QChar(0xD800) + u'x')), Kind::NotUtf16);
    EXPECT_EQ(refusal(utf16(QStringLiteral("A=") + QChar(0xDC00) + u'x')), Kind::NotUtf16);
    EXPECT_EQ(refusal(QByteArray(ModelLines::kMaxBytes + 2, 'A')), Kind::TooLarge);

    const QString pair = QStringLiteral("A=\"") + QChar(0xD83D) + QChar(0xDE00) + u'"';
    EXPECT_EQ(linesOf(pair).lines().front().size(), 6);
    const QByteArray largest = utf16(QString(ModelLines::kMaxBytes / 2 - 1, u'A'));
    EXPECT_EQ(ModelLines::decode(largest, QStringLiteral("x.def")).lines().size(), 1);
}

TEST(ModelLinesTest, FindsSectionsByExactHeaderInAnyCase) {
    const ModelLines lines = linesOf(QStringLiteral(
        "[main]\nDisplayWidth=5\n[ Other]\nDisplayWidth=6\n[Other] \nDisplayWidth=7\n"
        "[Other]\nDisplayHeight=1\n[Next]\nDisplayWidth=8\n[Other]\nDisplayWidth=9\n"));
    EXPECT_EQ(ReadModelInt(lines, u"MAIN", u"displaywidth", 0), 5);
    EXPECT_EQ(ReadModelInt(lines, u"Other", u"DisplayWidth", -1), -1); // ends at [Next]
    EXPECT_EQ(ReadModelInt(lines, u"Missing", u"DisplayWidth", -2), -2);
    EXPECT_EQ(ReadModelInt(lines, u"Next", u"DisplayHeight", -3), -3);
}

TEST(ModelLinesTest, KeysMatchByPrefixAndTheFirstMatchWins) {
    const ModelLines lines = linesOf(QStringLiteral(
        "[Main]\nDisplayXOffset=3\nDisplayX=4\nDisplayY=5\nDisplayY=6\nName\nShort=\"\n"));
    EXPECT_EQ(ReadModelInt(lines, u"Main", u"DisplayX", 0), 0); // "OFFSET=3" has no digits
    EXPECT_EQ(ReadModelInt(lines, u"Main", u"DisplayY", 0), 5);
    EXPECT_EQ(ReadModelString(lines, u"Main", u"Name", QStringLiteral("d")), QString());
    EXPECT_EQ(ReadModelString(lines, u"Main", u"Short", QStringLiteral("d")), QString());
    EXPECT_EQ(ReadModelString(lines, u"Main", u"Absent", QStringLiteral("Keep")), u"Keep");
}

TEST(ModelLinesTest, ReadsIntegersAsDecimalOrHexadecimal) {
    EXPECT_EQ(intOf("128abc"), 128);
    EXPECT_EQ(intOf("0x80"), 128);
    EXPECT_EQ(intOf("0X80"), 128);
    EXPECT_EQ(intOf("0x00ff00"), 0x00FF00);
    EXPECT_EQ(intOf("  -42"), -42);
    EXPECT_EQ(intOf("+7"), 7);
    EXPECT_EQ(intOf(""), 0);
    EXPECT_EQ(intOf("abc"), 0);
    EXPECT_EQ(intOf("12 0x"), 0x12); // any "0X" makes the whole value hexadecimal
    EXPECT_EQ(intOf("0xFFFFFFFF"), -1);
    EXPECT_EQ(intOf("0x123456789"), -1);
    EXPECT_EQ(intOf("99999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(intOf("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(intOf("-99999999999"), std::numeric_limits<std::int32_t>::min());
}

TEST(ModelLinesTest, StringsLoseKeyQuotesAndComeOutUpperCase) {
    const ModelLines lines = linesOf(QStringLiteral(
        "[Main]\nHardwareName=\"Lum745a\"\nDataDir='sub\\dir'\nKeyboardBitmap=\"a\"b\"\n"));
    EXPECT_EQ(ReadModelString(lines, u"Main", u"HardwareName", {}), u"LUM745A");
    EXPECT_EQ(ReadModelString(lines, u"Main", u"DataDir", {}), u"SUB\\DIR");
    EXPECT_EQ(ReadModelString(lines, u"Main", u"KeyboardBitmap", {}), u"A\"B");
}

} // namespace
} // namespace ombrix::model
