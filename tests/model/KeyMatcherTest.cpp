#include "model/KeyMatcher.h"

#include "ModelTestText.h"

#include <gtest/gtest.h>

namespace ombrix::model {
namespace {

constexpr std::uint32_t kMenu = 0x10;
constexpr std::uint32_t kEnter = 0x11;
constexpr std::uint32_t kShift = 0x69;
constexpr std::uint32_t kOn = 0x12;
constexpr std::uint32_t kLight = 0x13;
constexpr std::uint32_t kOther = 0x14;
constexpr auto kLeft = MouseButton::Left;
constexpr auto kRight = MouseButton::Right;

using Keys = std::vector<std::uint32_t>;

KeyMatcher matcher(std::vector<KeyEntry> sequences, std::vector<KeyEntry> combinations = {},
                   std::map<std::uint32_t, std::uint8_t> holdKeys = {}) {
    return KeyMatcher(
        KeyTables{std::move(sequences), std::move(combinations), std::move(holdKeys)});
}

TEST(KeyMatcherTest, LeftButtonTakesTheShortestSequenceRightButtonGoesOn) {
    for (const bool longFirst : {true, false}) {
        const KeyEntry menuEnter{{kMenu, kEnter}, 0x21};
        const KeyEntry menu{{kMenu}, 0x10};
        KeyMatcher keys = longFirst ? matcher({menuEnter, menu}) : matcher({menu, menuEnter});
        PressResult press = keys.Press(kMenu, kLeft);
        EXPECT_EQ(press.pressedKeys, Keys{kMenu});
        EXPECT_EQ(press.pendingCode, 0x10);
        keys.Rest(); // the code was sent on release

        press = keys.Press(kMenu, kRight);
        EXPECT_EQ(press.pressedKeys, Keys{kMenu});
        EXPECT_FALSE(press.pendingCode.has_value());
        press = keys.Press(kEnter, kLeft);
        EXPECT_EQ(press.pressedKeys, (Keys{kMenu, kEnter}));
        EXPECT_EQ(press.pendingCode, 0x21);
    }
}

TEST(KeyMatcherTest, RightButtonCarriesALongSequenceThroughSeveralKeys) {
    KeyMatcher keys =
        matcher({{{kMenu}, 1}, {{kMenu, kEnter}, 2}, {{kMenu, kEnter, kOn}, 3}, {{kOn}, 4}});
    EXPECT_FALSE(keys.Press(kMenu, kRight).pendingCode.has_value());
    EXPECT_FALSE(keys.Press(kEnter, kRight).pendingCode.has_value());
    EXPECT_EQ(keys.Press(kOn, kRight).pendingCode, 3);
    keys.Rest();
    keys.Press(kMenu, kRight);
    EXPECT_EQ(keys.Press(kEnter, kLeft).pendingCode, 2);
    keys.Rest();
    keys.Press(kMenu, kRight);
    EXPECT_TRUE(keys.Press(kMenu, kLeft).pressedKeys.empty()); // MENU MENU is in no entry
    EXPECT_EQ(keys.Press(kOn, kLeft).pendingCode, 4);          // and that press rested
}

TEST(KeyMatcherTest, CombinationsMatchInAnyOrder) {
    for (const auto& [first, second] : {std::pair{kOn, kShift}, std::pair{kShift, kOn}}) {
        KeyMatcher keys = matcher({}, {{{kShift, kOn, kShift}, 0x30}});
        const PressResult press = keys.Press(first, kLeft);
        EXPECT_EQ(press.pressedKeys, Keys{first});
        EXPECT_FALSE(press.pendingCode.has_value());
        EXPECT_EQ(keys.Press(second, kLeft).pendingCode, 0x30);
    }
}

TEST(KeyMatcherTest, AKeyInBothTablesFollowsTheButton) {
    KeyMatcher keys = matcher({{{kOn}, 0x50}}, {{{kShift, kOn}, 0x30}});
    EXPECT_EQ(keys.Press(kOn, kLeft).pendingCode, 0x50);
    keys.Rest();
    EXPECT_FALSE(keys.Press(kOn, kRight).pendingCode.has_value());
    const PressResult press = keys.Press(kShift, kLeft);
    EXPECT_EQ(press.pressedKeys, (Keys{kOn, kShift}));
    EXPECT_EQ(press.pendingCode, 0x30);

    KeyMatcher longer = matcher({{{kMenu, kEnter}, 0x21}}, {{{kMenu}, 0x31}});
    EXPECT_EQ(longer.Press(kMenu, kLeft).pendingCode, 0x31);
    longer.Rest();
    EXPECT_FALSE(longer.Press(kMenu, kRight).pendingCode.has_value());
    EXPECT_EQ(longer.Press(kEnter, kLeft).pendingCode, 0x21);
}

TEST(KeyMatcherTest, AKeyInNoTableMatchesNothingAndEndsASequence) {
    KeyMatcher keys = matcher({{{kMenu, kEnter}, 0x21}, {{kEnter}, 0x11}});
    keys.Press(kMenu, kLeft);
    const PressResult press = keys.Press(kOther, kLeft);
    EXPECT_TRUE(press.pressedKeys.empty());
    EXPECT_FALSE(press.pendingCode.has_value());
    EXPECT_EQ(keys.Press(kEnter, kLeft).pendingCode, 0x11);
}

TEST(KeyMatcherTest, HoldIsPendingOnlyForTheFirstKeySinceRest) {
    KeyMatcher keys = matcher({{{kMenu, kLight}, 0x21}, {{kLight}, 0x13}}, {}, {{kLight, 0x40}});
    EXPECT_EQ(keys.Press(kLight, kLeft).pendingCode, 0x13);
    EXPECT_EQ(keys.TakeHold(), (HoldKey{kLight, 0x40}));
    EXPECT_FALSE(keys.TakeHold().has_value());
    EXPECT_EQ(keys.Press(kLight, kLeft).pressedKeys, Keys{kLight}); // TakeHold rested

    keys.Rest();
    keys.Press(kLight, kLeft);
    keys.ClearHold(); // released before the hold time
    EXPECT_FALSE(keys.TakeHold().has_value());

    keys.Rest();
    keys.Press(kMenu, kRight);
    keys.Press(kLight, kLeft);
    EXPECT_FALSE(keys.TakeHold().has_value());
}

TEST(KeyMatcherTest, AKeyWithOnlyAHoldEntryStillHolds) {
    KeyMatcher keys = matcher({}, {}, {{kLight, 0x40}});
    EXPECT_TRUE(keys.Press(kLight, kLeft).pressedKeys.empty());
    EXPECT_EQ(keys.TakeHold(), (HoldKey{kLight, 0x40}));
}

TEST(KeyMatcherTest, EntriesNamingMissingKeysLeaveTheOthersWorking) {
    KeyboardLayout layout =
        layoutOf(buttonsText({{"MENU", 0x10}, {"ENTER", 0x11}}) +
                 "[Sequences]\nSequencesNumber=2\ns0=\"MENU+NOPE\"\nv0=0x20\ns1=\"MENU\"\nv1=0x10\n"
                 "[Combinations]\nCombinationsNumber=1\ns0=\"ENTER+NOPE\"\nv0=0x30\n");
    EXPECT_EQ(layout.Press(0x10, kRight).pendingCode, 0x10);
    layout.Rest();
    EXPECT_TRUE(layout.Press(0x11, kLeft).pressedKeys.empty());
}

} // namespace
} // namespace ombrix::model
