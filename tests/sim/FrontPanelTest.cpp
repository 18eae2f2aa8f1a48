#include "screen/FrontPanel.h"

#include "catalogue/ModelCatalogue.h"

#include <gtest/gtest.h>

namespace ombrix::sim {
namespace {

class FrontPanelTest : public testing::Test {
protected:
    const KeyCodes& keys = findModel("mono")->keys;
    FrontPanel panel{keys, 7};

    void press(std::initializer_list<std::uint8_t> codes) {
        for (const std::uint8_t code : codes) {
            panel.pressKey(code);
        }
    }
    void typeSetPoint(std::initializer_list<std::uint8_t> codes) {
        press({keys.menu, keys.enter});
        press(codes);
    }
};

TEST_F(FrontPanelTest, MenuKeyOpensTheMenuArrowsMoveThroughItWrappingEnterOpensAnItem) {
    press({keys.menu});
    EXPECT_EQ(panel.page(), Page::Menu);
    press({keys.down, keys.down});
    EXPECT_EQ(panel.menuIndex(), 2U);
    press({keys.down, keys.down});
    EXPECT_EQ(panel.menuIndex(), 0U);
    press({keys.up});
    EXPECT_EQ(panel.menuIndex(), kMenuItems.size() - 1);
    press({keys.enter});
    EXPECT_EQ(panel.page(), Page::Info);
    press({keys.escape, keys.up, keys.up, keys.enter});
    EXPECT_EQ(panel.page(), Page::Range);
    press({keys.escape, keys.escape});
    EXPECT_EQ(panel.page(), Page::Measure);
}

// Digits, one point, LEFT deletes, at most seven characters; ENTER stores a
// number, ESC leaves the set point as it was.
TEST_F(FrontPanelTest, NumberEntryTakesANumberOfSevenCharactersAtMost) {
    typeSetPoint({keys.digits[1], keys.digits[2], keys.point, keys.point, keys.digits[5],
                  keys.digits[9], keys.left});
    EXPECT_EQ(panel.entry(), "12.5");
    press({keys.enter});
    EXPECT_EQ(panel.page(), Page::Measure);
    EXPECT_EQ(panel.setPoint(), "12.5");
    typeSetPoint({keys.digits[1], keys.digits[2], keys.digits[3], keys.digits[4], keys.digits[5],
                  keys.digits[6], keys.digits[7], keys.digits[8]});
    EXPECT_EQ(panel.entry(), "1234567");
    press({keys.escape});
    EXPECT_EQ(panel.page(), Page::Menu);
    EXPECT_EQ(panel.setPoint(), "12.5");
    press({keys.escape});
    typeSetPoint({keys.point, keys.enter});
    EXPECT_EQ(panel.page(), Page::SetPoint); // "." is no number
    EXPECT_EQ(panel.setPoint(), "12.5");
}

TEST_F(FrontPanelTest, ADigitOnTheMeasurementPageStartsANewSetPoint) {
    press({keys.digits[4], keys.point, keys.digits[5]});
    EXPECT_EQ(panel.entry(), "4.5");
    EXPECT_EQ(panel.page(), Page::SetPoint);
    press({keys.escape, keys.digits[7]}); // in the menu a digit is no entry
    EXPECT_EQ(panel.page(), Page::Menu);
}

TEST_F(FrontPanelTest, BacklightKeyAndMenuItemBothToggleTheBacklight) {
    EXPECT_TRUE(panel.backlight());
    press({keys.backlight});
    EXPECT_FALSE(panel.backlight());
    press({keys.menu, keys.down, keys.down, keys.enter});
    EXPECT_TRUE(panel.backlight());
    EXPECT_EQ(panel.page(), Page::Menu);
}

TEST_F(FrontPanelTest, HoldFreezesTheReadingUntilReleased) {
    panel.tick();
    press({keys.hold});
    const std::int64_t held = panel.measurement().reading();
    for (int step = 0; step < 10; ++step) {
        panel.tick();
    }
    EXPECT_EQ(panel.measurement().reading(), held);
    press({keys.hold});
    panel.tick();
    EXPECT_NE(panel.measurement().reading(), held);
}

TEST_F(FrontPanelTest, ArrowsOnTheMeasurementPageSwitchTheQuantity) {
    press({keys.right});
    EXPECT_EQ(panel.measurement().quantity(), Quantity::AcVolts);
    press({keys.left, keys.left});
    EXPECT_EQ(panel.measurement().quantity(), Quantity::Frequency);
}

TEST_F(FrontPanelTest, AFixedRangeBelowTheReadingShowsOverRange) {
    press({keys.right}); // about 230 V
    press({keys.menu, keys.down, keys.enter, keys.down, keys.down, keys.enter});
    EXPECT_EQ(panel.rangeIndex(), 2U);
    EXPECT_TRUE(panel.overRange());
    press({keys.enter, keys.down, keys.enter});
    EXPECT_EQ(panel.rangeIndex(), 3U);
    EXPECT_FALSE(panel.overRange());
}

TEST_F(FrontPanelTest, ReadingAboveTheSetPointRaisesTheAlarm) {
    typeSetPoint({keys.digits[1], keys.enter});
    EXPECT_TRUE(panel.alarm());
    typeSetPoint({keys.digits[9], keys.digits[9], keys.enter});
    EXPECT_FALSE(panel.alarm());
}

TEST_F(FrontPanelTest, CodesOfNoKeyAreRefused) {
    EXPECT_FALSE(panel.pressKey(0x00));
    EXPECT_FALSE(panel.pressKey(0x3B));
    EXPECT_TRUE(panel.pressKey(keys.enter));
    FrontPanel legacy(findModel("legacy")->keys, 1); // its backlight key is the ";" byte
    EXPECT_TRUE(legacy.pressKey(0x3B));
    EXPECT_FALSE(legacy.backlight());
}

TEST(Measurement, FormatsCountsWithTheQuantitysDecimals) {
    Measurement measurement(1);
    EXPECT_EQ(measurement.format(12'345), "12.345");
    EXPECT_EQ(measurement.format(5), "0.005");
    EXPECT_EQ(measurement.format(-1'234), "-1.234");
    measurement.selectNext();
    EXPECT_EQ(measurement.format(23'012), "230.12");
}

TEST(Measurement, ParsesTypedNumbersAndRejectsTheRest) {
    const Measurement measurement(1);
    EXPECT_EQ(measurement.parse("12.5"), 12'500);
    EXPECT_EQ(measurement.parse("12"), 12'000);
    EXPECT_EQ(measurement.parse(".5"), 500);
    EXPECT_EQ(measurement.parse("1.23456"), 1'234);
    EXPECT_EQ(measurement.parse(""), std::nullopt);
    EXPECT_EQ(measurement.parse("."), std::nullopt);
    EXPECT_EQ(measurement.parse("1.2.3"), std::nullopt);
    EXPECT_EQ(measurement.parse("1a"), std::nullopt);
    EXPECT_EQ(measurement.parse("12345678901"), std::nullopt);
}

TEST(Measurement, SameSeedGivesTheSameReadingsThatStayNearTheTypicalValue) {
    Measurement first(42);
    Measurement second(42);
    for (int step = 0; step < 100; ++step) {
        first.advance();
        second.advance();
        ASSERT_EQ(first.reading(), second.reading());
        ASSERT_NEAR(static_cast<double>(first.reading()), 12'000.0, 260.0);
    }
    EXPECT_EQ(first.history().size(), 60U);
}

} // namespace
} // namespace ombrix::sim
