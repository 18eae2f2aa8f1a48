#include "session/HashOneParser.h"

#include "session/OrmaSettings.h"

#include <clocale>
#include <gtest/gtest.h>
#include <locale>
#include <vector>

namespace ombrix::session {
namespace {

struct Case {
    std::string reply;
    IdentificationResult expected;
};

// Replies go through the same byte-to-text conversion as the instrument's.
void expectParses(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(hashOneParser(wideFromReply(c.reply)), c.expected) << c.reply;
    }
}

TEST(HashOneParserTest, ReadsUnitAndVersionAndSkipsOtherFields) {
    expectParses({
        {"#1,U123A,W1.05.3,N12345,S0;",
         {.unitType = 123,
          .firstNumber = 1,
          .secondNumber = 5,
          .thirdNumber = 3,
          .recognised = 3,
          .letter = L"A"}},
        {"#1,U745,W152b,N31,S0;",
         {.unitType = 745, .firstNumber = 152, .recognised = 1, .variant = L"b"}},
        {"#1,W4.60.1C,U758;",
         {.unitType = 758,
          .firstNumber = 4,
          .secondNumber = 60,
          .thirdNumber = 1,
          .recognised = 3,
          .variant = L"C"}},
        {"#1,U745A,N31,S0;", {.unitType = 745, .letter = L"A"}},
        {"#1,N12 34,Sx?y,US3,w9.9.9,U7459,W251;",
         {.unitType = 7459, .firstNumber = 251, .recognised = 1}},
        {"#1,U2147483647;", {.unitType = 2147483647}},
    });
}

TEST(HashOneParserTest, SetsNothingUnlessTheReplyBeginsWithHashOne) {
    expectParses({{"#2,U745A,W1.05.3;", {}},
                  {" #1,U745A,W1.05.3;", {}},
                  {"#1U745A,W1.05.3;", {}},
                  {"U745A,W1.05.3;", {}},
                  {"", {}},
                  {"?;", {}},
                  {"?;#1,U745A,W1.05.3;", {}},
                  {"#1,;", {}},
                  {"#1,U?,W?,N?,S?;", {}}, // the query echoed back
                  {"#1,N,U745;", {}},      // a field needs a value
                  {"#1, U745,W1.05.3;", {}}});
}

TEST(HashOneParserTest, KeepsTheFieldsBeforeTheFirstStrayCharacter) {
    expectParses({
        {"#1,U745A,,W1.05.3;", {.unitType = 745, .letter = L"A"}},
        {"#1,U745AB,W1.05.3;", {.unitType = 745, .letter = L"A"}},
        {"#1,W1.05.3x9,U999;",
         {.firstNumber = 1, .secondNumber = 5, .thirdNumber = 3, .recognised = 3, .variant = L"x"}},
        // The dotted form fails after "1.05" and leaves nothing behind; the single
        // form takes "1" and the "." ends the reply.
        {"#1,W1.05,U745;", {.firstNumber = 1, .recognised = 1}},
        // No white space is skipped: "U 745" is only a field to skip.
        {"#1,U 745,W1. 05.3;", {.firstNumber = 1, .recognised = 1}},
        // Numbers beyond the 32-bit fields do not match.
        {"#1,U2147483648,W4294967296.1.1,W7;", {.firstNumber = 7, .recognised = 1}},
        {"#1,U745\xff,W1.05.3;", {.unitType = 745}},
        {std::string("#1,U745,N1\0,W1.05.3;", 20), {.unitType = 745}},
    });
}

TEST(HashOneParserTest, CharacterClassesDoNotFollowTheUserLocale) {
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.utf8") == nullptr) {
        GTEST_SKIP() << "no German locale installed";
    }
    const std::locale previous = std::locale::global(std::locale("de_DE.utf8"));
    // A German locale counts "ä" as a letter; the reply's grammar does not.
    const IdentificationResult result = hashOneParser(L"#1,U745\u00e4,W1.05.3;");
    std::locale::global(previous);
    std::setlocale(LC_ALL, previousC.c_str());
    EXPECT_EQ(result, (IdentificationResult{.unitType = 745}));
}

TEST(OrmaSettingsTest, ANewReplyEmptiesItsTextForm) {
    OrmaSettings settings;
    settings.storeReply("#1,U745;");
    EXPECT_EQ(settings.wide(), L"#1,U745;");
    settings.storeReply("#1,U7\xc3\xa4\xff;");
    EXPECT_EQ(settings.wideReply, L"");
    EXPECT_EQ(settings.wide(), L"#1,U7\u00e4\ufffd;");
}

} // namespace
} // namespace ombrix::session
