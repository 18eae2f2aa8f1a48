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

TEST_P(EachCommandText, IsRecognisedWhole) {
    CommandParser parser;
    EXPECT_EQ(feedText(parser, GetParam().text), only(GetParam().kind));
    EXPECT_EQ(parser.pendingBytes(), 0U);
}

TEST_P(EachCommandText, IsRecognisedByteByByte) {
    CommandParser parser;
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

TEST(CommandParser, SplitsSeveralCommandsArrivingInOneRead) {
    CommandParser parser;
    const auto commands = feedText(parser, "#7,SP,3;#7,SC;;#7,US;");
    EXPECT_EQ(commands,
              (std::vector<Command>{
                  {CommandKind::Status, 0}, {CommandKind::Screen, 0}, {CommandKind::UsValue, 0}}));
}

TEST(CommandParser, JoinsACommandSplitAcrossReads) {
    CommandParser parser;
    EXPECT_TRUE(feedText(parser, ";#1,U?,").empty());
    EXPECT_EQ(parser.pendingBytes(), 7U);
    EXPECT_EQ(feedText(parser, "W?,N?,S?;#7,S"), only(CommandKind::Identify));
    EXPECT_EQ(feedText(parser, "C;"), only(CommandKind::Screen));
}

TEST(CommandParser, TakesAnyByteAsKeyCodeIncludingTheTerminator) {
    CommandParser parser;
    const std::vector<std::uint8_t> stream{';', '#',  '0', ',', ';', ';', ';', '#',  '0',
                                           ',', 0x00, ';', ';', '#', '0', ',', 0xFF, ';'};
    EXPECT_EQ(parser.feed(stream), (std::vector<Command>{key(0x3B), key(0x00), key(0xFF)}));
}

TEST(CommandParser, KeyPressSplitBeforeItsCodeWaitsForTheCode) {
    CommandParser parser;
    EXPECT_TRUE(feedText(parser, ";#0,").empty());
    EXPECT_EQ(feedText(parser, "A;"), std::vector<Command>{key('A')});
}

TEST(CommandParser, SkipsGarbageAndUnknownCommandsToTheNextCommand) {
    CommandParser parser;
    EXPECT_EQ(feedText(parser, "xx\x01#9,Q;#7,SP,4;#7,IC;"), only(CommandKind::Icons));
    EXPECT_EQ(parser.pendingBytes(), 0U);
}

TEST(CommandParser, RecoversFromAKeyPressWithoutItsClosingSemicolon) {
    CommandParser parser;
    EXPECT_EQ(feedText(parser, ";#0,ab#7,SC;"), only(CommandKind::Screen));
}

TEST(CommandParser, AStaleSemicolonBeforeACommandDoesNotHideIt) {
    CommandParser parser;
    EXPECT_EQ(feedText(parser, ";#7,SC;"), only(CommandKind::Screen));
}

TEST(CommandParser, HoldsNoMoreThanTheStartOfOneCommand) {
    CommandParser parser;
    const std::vector<std::uint8_t> noise(10'000, ';');
    EXPECT_TRUE(parser.feed(noise).empty());
    EXPECT_LE(parser.pendingBytes(), 1U);
    const std::vector<std::uint8_t> hashes(10'000, '#');
    EXPECT_TRUE(parser.feed(hashes).empty());
    EXPECT_LE(parser.pendingBytes(), 1U);
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
