#include "protocol/CommandParser.h"

#include <gtest/gtest.h>
#include <string_view>
#include <vector>

namespace ombrix::sim {
namespace {

std::vector<std::uint8_t> bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<Command> feedText(CommandParser& parser, std::string_view text) {
    return parser.feed(bytes(text));
}

Command key(std::uint8_t code) {
    return Command{CommandKind::Key, code};
}

std::vector<Command> only(CommandKind kind) {
    return {Command{kind, 0}};
}

struct CommandText {
    std::string_view text;
    CommandKind kind;
};

class EachCommandText : public testing::TestWithParam<CommandText> {};

TEST_P(EachCommandText, IsRecognisedWholeAndByteByByte) {
    CommandParser parser;
    EXPECT_EQ(feedText(parser, GetParam().text), only(GetParam().kind));
    EXPECT_EQ(parser.pendingBytes(), 0U);
    std::vector<Command> commands;
    for (const char character : GetParam().text) {
        const auto completed = feedText(parser, std::string_view(&character, 1));
        commands.insert(commands.end(), completed.begin(), completed.end());
    }
    EXPECT_EQ(commands, only(GetParam().kind));
}

INSTANTIATE_TEST_SUITE_P(Protocol, EachCommandText,
                         testing::Values(CommandText{";#1,U?,W?,N?,S?;", CommandKind::Identify},
                                         CommandText{";#1,U?,N?;", CommandKind::ShortIdentify},
                                         CommandText{";#7,US;", CommandKind::UsValue},
                                         CommandText{"#7,SP,1;", CommandKind::ScreenParameters},
                                         CommandText{"#7,SP,2;", CommandKind::Palette},
                                         CommandText{"#7,SP,3;", CommandKind::Status},
                                         CommandText{"#7,IC;", CommandKind::Icons},
                                         CommandText{"#7,SC;", CommandKind::Screen}));

// Reads cut a stream anywhere: several commands in one, one across several,
// a key press before its code.
TEST(CommandParser, SplitsAndJoinsCommandsWhateverTheReads) {
    CommandParser parser;
    EXPECT_EQ(feedText(parser, "#7,SP,3;#7,SC;;#7,US;"),
              (std::vector<Command>{
                  {CommandKind::Status, 0}, {CommandKind::Screen, 0}, {CommandKind::UsValue, 0}}));
    EXPECT_TRUE(feedText(parser, ";#1,U?,").empty());
    EXPECT_EQ(parser.pendingBytes(), 7U);
    EXPECT_EQ(feedText(parser, "W?,N?,S?;#7,S"), only(CommandKind::Identify));
    EXPECT_EQ(feedText(parser, "C;"), only(CommandKind::Screen));
    EXPECT_TRUE(feedText(parser, ";#0,").empty());
    EXPECT_EQ(feedText(parser, "A;"), std::vector<Command>{key('A')});
}

TEST(CommandParser, TakesAnyByteAsKeyCodeIncludingTheTerminator) {
    CommandParser parser;
    const std::vector<std::uint8_t> stream{';', '#',  '0', ',', ';', ';', ';', '#',  '0',
                                           ',', 0x00, ';', ';', '#', '0', ',', 0xFF, ';'};
    EXPECT_EQ(parser.feed(stream), (std::vector<Command>{key(0x3B), key(0x00), key(0xFF)}));
}

// Garbage, unknown commands and a key press without its closing semicolon are
// skipped to the next command, and never held beyond the start of one.
TEST(CommandParser, SkipsWhatIsNoCommandAndHoldsNoMoreThanTheStartOfOne) {
    CommandParser parser;
    EXPECT_EQ(feedText(parser, "xx\x01#9,Q;#7,SP,4;#7,IC;"), only(CommandKind::Icons));
    EXPECT_EQ(parser.pendingBytes(), 0U);
    EXPECT_EQ(feedText(parser, ";#0,ab#7,SC;"), only(CommandKind::Screen));
    EXPECT_EQ(feedText(parser, ";#7,SC;"), only(CommandKind::Screen)); // a stale ";" before it
    for (const std::uint8_t noise : {';', '#'}) {
        EXPECT_TRUE(parser.feed(std::vector<std::uint8_t>(10'000, noise)).empty());
        EXPECT_LE(parser.pendingBytes(), 1U);
    }
}

TEST(CommandNames, RoundTripForEveryRequestWithAReply) {
    for (const CommandKind kind :
         {CommandKind::Identify, CommandKind::ShortIdentify, CommandKind::UsValue,
          CommandKind::ScreenParameters, CommandKind::Palette, CommandKind::Status,
          CommandKind::Icons, CommandKind::Screen}) {
        EXPECT_EQ(commandFromName(commandName(kind)), kind) << commandName(kind);
    }
    EXPECT_EQ(commandFromName("sp9"), std::nullopt);
}

} // namespace
} // namespace ombrix::sim
