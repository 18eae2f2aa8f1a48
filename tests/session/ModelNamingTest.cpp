#include "session/ModelNaming.h"

#include "session/HashOneParser.h"

#include <gtest/gtest.h>
#include <vector>

namespace ombrix::session {
namespace {

struct Case {
    IdentificationResult identification;
    std::int32_t mode;
    std::wstring name;
};

void expectNames(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(ModelFileName(c.identification, c.mode), c.name) << "mode " << c.mode;
    }
}

TEST(ModelFileNameTest, StartsWithTheUnitTypeUnlessTypeOrVersionIsMissing) {
    expectNames({{{.unitType = 745, .firstNumber = 251, .letter = L"A", .variant = L"c"},
                  3,
                  L"lum_unknown.def"},
                 {{.firstNumber = 4, .secondNumber = 60, .recognised = 3}, 3, L"lum_unknown.def"},
                 {{.unitType = 746, .recognised = 2}, 0, L"lum746.def"},
                 {{.unitType = 746, .secondNumber = 99, .recognised = 3, .variant = L"c"},
                  3,
                  L"lum746.def"}});
}

TEST(ModelFileNameTest, OnlyThe745KeepsItsLetterA) {
    expectNames(
        {{{.unitType = 745, .firstNumber = 251, .recognised = 1, .letter = L"A", .variant = L"b"},
          0,
          L"lum745A_ru.def"},
         {{.unitType = 745, .recognised = 3, .letter = L"A"}, 0, L"lum745A.def"},
         {{.unitType = 745, .recognised = 3, .letter = L"a"}, 0, L"lum745.def"},
         {{.unitType = 746, .recognised = 3, .letter = L"A"}, 0, L"lum746.def"}});
}

TEST(ModelFileNameTest, ASingleVersionAddsItsVariantAndRussianAboveFifty) {
    expectNames({
        {{.unitType = 152, .firstNumber = 150, .recognised = 1, .variant = L"c"},
         0,
         L"lum152c.def"},
        {{.unitType = 152, .firstNumber = 151, .recognised = 1, .variant = L"c"},
         0,
         L"lum152c_ru.def"},
        {{.unitType = 152, .firstNumber = 99, .recognised = 1, .variant = L"B"},
         0,
         L"lum152B_ru.def"},
        // It comes before the rules of the 758 and the 302.
        {{.unitType = 758, .firstNumber = 4, .secondNumber = 60, .recognised = 1},
         0,
         L"lum758.def"},
        {{.unitType = 302, .recognised = 1}, 3, L"lum302.def"},
    });
}

TEST(ModelFileNameTest, The758TakesLetterVariantAndRussianFromItsDottedVersion) {
    expectNames(
        {{{.unitType = 758, .firstNumber = 4, .secondNumber = 51, .recognised = 3, .variant = L"c"},
          0,
          L"lum758Ac_ru.def"},
         {{.unitType = 758, .firstNumber = 3, .secondNumber = 50, .recognised = 3, .variant = L"b"},
          0,
          L"lum758.def"}});
}

TEST(ModelFileNameTest, The302InMode3Or4IsThePlus) {
    const IdentificationResult plus{.unitType = 302, .recognised = 3};
    expectNames({{plus, 3, L"lum302plus.def"},
                 {plus, 4, L"lum302plus.def"},
                 {plus, 2, L"lum302.def"},
                 {plus, 5, L"lum302.def"},
                 {{.unitType = 303, .recognised = 3}, 3, L"lum303.def"}});
}

TEST(ModelFileNameTest, NamesFollowFromTheReply) {
    EXPECT_EQ(ModelFileName(hashOneParser(L"#1,U745A,W251b,N31,S0;"), 0), L"lum745A_ru.def");
    EXPECT_EQ(ModelFileName(hashOneParser(L"#1,U758,W4.60.1c,N7;"), 0), L"lum758Ac_ru.def");
    EXPECT_EQ(ModelFileName(hashOneParser(L"#2,U745A,W251b;"), 0), L"lum_unknown.def");
}

TEST(FamilyFileNameTest, The74xAnd75xFamiliesAndTheRest) {
    const auto family = [](std::int32_t type) {
        return FamilyFileName(IdentificationResult{.unitType = type});
    };
    for (const std::int32_t type : {601, 740, 745, 749}) {
        EXPECT_EQ(family(type), L"lum74x.def") << type;
    }
    for (const std::int32_t type : {605, 750, 758, 759}) {
        EXPECT_EQ(family(type), L"lum75x.def") << type;
    }
    for (const std::int32_t type : {0, 600, 602, 604, 606, 739, 760, 302, 7450}) {
        EXPECT_EQ(family(type), L"lum_unknown.def") << type;
    }
}

} // namespace
} // namespace ombrix::session
