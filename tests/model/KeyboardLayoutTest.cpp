#include "model/KeyboardLayout.h"

#include "ModelTestText.h"

#include <gtest/gtest.h>

namespace ombrix::model {
namespace {

TEST(KeyboardLayoutTest, ReadsButtonSectionsWithTheirDefaults) {
    const KeyboardLayout layout = layoutOf(
        QStringLiteral("[ButtonsInfo]\nButtonsCount=3\n[Button0]\nX=5\nY=6\nRight=25\nBottom=16\n"
                       "KeyCode=0x6a\nKeyName=\"Menu\"\n[Button2]\nKeyCode=7\n"));
    ASSERT_EQ(layout.buttons().size(), 3u);
    EXPECT_EQ(layout.buttons()[0], (KeyButton{{5, 6, 25, 16}, 0x6A, QStringLiteral("MENU")}));
    EXPECT_EQ(layout.buttons()[1], (KeyButton{{0, 0, 0, 0}, 0, QStringLiteral("Unknown")}));
    EXPECT_EQ(layout.buttons()[2].keyCode, 7u);
    EXPECT_TRUE(layoutOf(QStringLiteral("[Button0]\nKeyCode=1\n")).buttons().empty());
}

TEST(KeyboardLayoutTest, HitTestTakesTheFirstButtonHoldingThePoint) {
    const KeyboardLayout layout = layoutOf(QStringLiteral(
        "[ButtonsInfo]\nButtonsCount=2\n[Button0]\nX=10\nY=10\nRight=20\nBottom=20\nKeyCode=1\n"
        "[Button1]\nX=15\nY=15\nRight=30\nBottom=30\nKeyCode=2\n"));
    const auto codeAt = [&layout](int x, int y) {
        const KeyButton* button = layout.HitTest(QPoint(x, y));
        return button == nullptr ? 0u : button->keyCode;
    };
    EXPECT_EQ(codeAt(10, 10), 1u); // left and top edges are inside
    EXPECT_EQ(codeAt(17, 17), 1u); // overlap: the first in the file wins
    EXPECT_EQ(codeAt(20, 17), 2u); // right edge of the first is outside it
    EXPECT_EQ(codeAt(12, 20), 0u); // so is its bottom edge
    EXPECT_EQ(codeAt(29, 29), 2u);
    EXPECT_EQ(codeAt(30, 20), 0u);
    EXPECT_EQ(codeAt(9, 10), 0u);
}

TEST(KeyboardLayoutTest, LookupsByCodeAndNameTakeTheFirstMatch) {
    const KeyboardLayout layout =
        layoutOf(buttonsText({{"MENU", 0x10}, {"ENTER", 0x10}, {"MENU", 0x11}}));
    EXPECT_EQ(layout.ButtonByCode(0x10), &layout.buttons()[0]);
    EXPECT_EQ(layout.ButtonByName(u"MENU"), &layout.buttons()[0]);
    EXPECT_EQ(layout.ButtonByName(u"ENTER"), &layout.buttons()[1]);
    EXPECT_EQ(layout.ButtonByCode(0x12), nullptr);
    EXPECT_EQ(layout.ButtonByName(u"menu"), nullptr);
}

TEST(KeyboardLayoutTest, ToolbarSkipsNamesOfNoButtonWithoutTakingAPosition) {
    const KeyboardLayout layout =
        layoutOf(buttonsText({{"MENU", 0x10}, {"ENTER", 0x11}, {"", 0x12}}) +
                 "[ButtonsToolbar]\nBitmap=\"Keys\\Bar.bmp\"\nSequence=\"menu,NOPE,,enter\"\n");
    EXPECT_EQ(layout.toolbarButtons(), (std::vector<std::uint32_t>{0x10, 0x11}));
    EXPECT_EQ(layout.CodeAtBarPosition(1), 0x11u);
    EXPECT_FALSE(layout.CodeAtBarPosition(2).has_value());
    EXPECT_FALSE(layout.CodeAtBarPosition(-1).has_value());
    EXPECT_EQ(layout.ToolbarBitmapPath(), u"Data/KEYS/BAR.BMP");
}

TEST(KeyboardLayoutTest, TableEntriesNamingMissingKeysAreDropped) {
    const KeyboardLayout layout = layoutOf(
        buttonsText({{"MENU", 0x10}, {"ENTER", 0x11}, {"ON", 0x12}, {"", 0x13}}) +
        "[Sequences]\nSequencesNumber=5\ns0=\"MENU+GONE\"\nv0=0x20\ns1=\"MENU+ENTER\"\nv1=0x21\n"
        "s2=\"\"\nv2=0x22\ns4=\"ENTER\"\n"
        "[Combinations]\nCombinationsNumber=1\ns0=\"ON+MENU+ON\"\nv0=0x30\n"
        "[HoldKeys]\nHoldKeysNumber=3\ns0=\"ON\"\nv0=0x40\ns1=\"MENU+ENTER\"\nv1=0x41\n"
        "s2=\"ON\"\nv2=0x42\n");
    const KeyTables& tables = layout.tables();
    EXPECT_EQ(tables.sequences,
              (std::vector<KeyEntry>{{{0x10, 0x11}, 0x21}, {{0x11}, 0x00}})); // no v4: code 0
    EXPECT_EQ(tables.combinations, (std::vector<KeyEntry>{{{0x12, 0x10, 0x12}, 0x30}}));
    EXPECT_EQ(tables.holdKeys, (std::map<std::uint32_t, std::uint8_t>{{0x10, 0x41}, {0x12, 0x42}}));
}

TEST(KeyboardLayoutTest, CopiesMatchIndependentlyAndCompareByTheirKeys) {
    KeyboardLayout layout =
        layoutOf(buttonsText({{"MENU", 0x10}, {"ENTER", 0x11}}) +
                 "[Sequences]\nSequencesNumber=1\ns0=\"MENU+ENTER\"\nv0=0x21\n");
    layout.Press(0x10, MouseButton::Left);
    KeyboardLayout copy = layout;
    EXPECT_EQ(copy, layout);
    EXPECT_EQ(copy.Press(0x11, MouseButton::Left).pendingCode, 0x21);
    layout.Rest();
    EXPECT_FALSE(layout.Press(0x11, MouseButton::Left).pendingCode.has_value());
    EXPECT_NE(layout, layoutOf(buttonsText({{"MENU", 0x10}, {"ENTER", 0x11}})));
}

} // namespace
} // namespace ombrix::model
