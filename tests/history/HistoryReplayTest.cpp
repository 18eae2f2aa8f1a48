// A history planned for replay on a model's keys: each entry's presses give
// its code again through the key tables, and any entry that cannot names its
// line before anything is played.
#include "history/HistoryReplay.h"

#include "ModelTestText.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ombrix::history {
namespace {

using model::KeyPress;
using model::MouseButton;
using Presses = std::vector<KeyPress>;

constexpr std::uint32_t kMenu = 0x10;
constexpr std::uint32_t kEnter = 0x11;
constexpr std::uint32_t kUp = 0x12;
constexpr std::uint32_t kDown = 0x13;

// Every key but LIGHT and HOLD alone gives its own code; MENU then ENTER a
// sequence, UP with DOWN a combination; HOLD has only a hold code, MENU one too.
const model::KeyboardLayout kLayout =
    model::layoutOf(model::buttonsText({{"MENU", 0x10},
                                        {"ENTER", 0x11},
                                        {"UP", 0x12},
                                        {"DOWN", 0x13},
                                        {"LIGHT", 0x15},
                                        {"HOLD", 0x16}}) +
                    "[Sequences]\nSequencesNumber=5\ns0=\"MENU\"\nv0=0x10\ns1=\"ENTER\"\nv1=0x11\n"
                    "s2=\"MENU+ENTER\"\nv2=0x6D\ns3=\"UP\"\nv3=0x12\ns4=\"DOWN\"\nv4=0x13\n"
                    "[Combinations]\nCombinationsNumber=1\ns0=\"UP+DOWN\"\nv0=0x6E\n"
                    "[HoldKeys]\nHoldKeysNumber=2\ns0=\"HOLD\"\nv0=0x70\ns1=\"MENU\"\nv1=0x71\n");

std::vector<ReadEntry> entries(std::initializer_list<QStringList> keys) {
    std::vector<ReadEntry> read;
    int line = 1;
    for (const QStringList& each : keys) {
        read.push_back({line++, each});
    }
    return read;
}

TEST(HistoryReplayTest, EachEntryIsPressedSoThatTheKeyTablesGiveItsCodeAgain) {
    QString error;
    const auto steps = PlanReplay(
        kLayout, entries({{"MENU"}, {"menu", "ENTER"}, {"UP", "DOWN"}, {"UP"}, {"DOWN"}}), error);
    ASSERT_TRUE(steps.has_value()) << error.toStdString();
    ASSERT_EQ(steps->size(), 5u);
    EXPECT_EQ((*steps)[0].code, 0x10);
    EXPECT_EQ((*steps)[0].presses, (Presses{{kMenu, MouseButton::Left}}));
    // MENU alone has a code: the sequence goes on with the right button.
    EXPECT_EQ((*steps)[1].code, 0x6D);
    EXPECT_EQ((*steps)[1].presses,
              (Presses{{kMenu, MouseButton::Right}, {kEnter, MouseButton::Left}}));
    EXPECT_EQ((*steps)[2].code, 0x6E);
    EXPECT_EQ((*steps)[2].presses,
              (Presses{{kUp, MouseButton::Right}, {kDown, MouseButton::Left}}));
    EXPECT_EQ((*steps)[3].code, 0x12);
    EXPECT_EQ((*steps)[4].code, 0x13);
    EXPECT_EQ((*steps)[4].line, 5);
    EXPECT_FALSE((*steps)[0].hold) << "MENU pressed gives a code: that is what was sent";
}

// A key with nothing but a hold code was held; a key marked " (hold)" is held
// for its hold code, also where pressing it gives a code of its own.
TEST(HistoryReplayTest, HeldKeysAreHeldForTheirHoldCodes) {
    QString error;
    std::vector<ReadEntry> read = entries({{"HOLD"}, {"MENU"}, {"MENU"}});
    read[2].hold = true;
    const auto steps = PlanReplay(kLayout, read, error);
    ASSERT_TRUE(steps.has_value()) << error.toStdString();
    EXPECT_TRUE((*steps)[0].hold);
    EXPECT_EQ((*steps)[0].code, 0x70);
    EXPECT_FALSE((*steps)[1].hold);
    EXPECT_TRUE((*steps)[2].hold);
    EXPECT_EQ((*steps)[2].code, 0x71);
    EXPECT_FALSE(PlanReplay(kLayout, entries({{"MENU", "HOLD"}}), error).has_value());

    read = entries({{"UP"}});
    read[0].hold = true;
    EXPECT_FALSE(PlanReplay(kLayout, read, error).has_value());
    EXPECT_EQ(error, QStringLiteral("line 1: \"UP (hold)\" gives no key code on this instrument"));
}

// What a save writes first in a block is the comment when it is no entry,
// whatever the comment setting is now; anywhere else it is named.
TEST(HistoryReplayTest, TheFirstLineOfABlockThatIsNoEntryIsTheComment) {
    std::vector<ReadEntry> read = entries({{"Demo run 2"}, {"MENU"}, {"Demo run 2"}});
    read[0].firstInBlock = true;
    QString error;
    EXPECT_FALSE(PlanReplay(kLayout, read, error).has_value());
    EXPECT_TRUE(error.startsWith(QStringLiteral("line 3: "))) << error.toStdString();
    read.pop_back();
    const auto steps = PlanReplay(kLayout, read, error);
    ASSERT_TRUE(steps.has_value()) << error.toStdString();
    ASSERT_EQ(steps->size(), 1u);
    EXPECT_EQ(steps->front().line, 2);
}

TEST(HistoryReplayTest, AnEntryThatCannotBePlayedNamesItsLineAndNothingIsPlanned) {
    struct Case {
        std::initializer_list<QStringList> keys;
        const char* message;
    };
    const Case cases[] = {
        {{{"MENU"}, {"ENTER"}, {"MENU", "NOPE"}}, "line 3: \"NOPE\" is not a key"},
        {{{"LIGHT"}}, "line 1: \"LIGHT\" gives no key code"},                // in no table
        {{{"ENTER", "MENU"}}, "line 1: \"ENTER + MENU\" gives no key code"}, // in no order
    };
    for (const Case& each : cases) {
        QString error;
        EXPECT_FALSE(PlanReplay(kLayout, entries(each.keys), error).has_value());
        EXPECT_TRUE(error.startsWith(QString::fromLatin1(each.message)))
            << each.message << " / " << error.toStdString();
    }
}

TEST(HistoryReplayTest, LoadingSaysWhatIsWrongWithTheFile) {
    QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("log.txt"));
    QString error;
    EXPECT_FALSE(LoadReplay(path, {}, kLayout, error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("cannot be read"))) << error.toStdString();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Demo\n#Latest saved image: <None>\n\n");
    file.close();
    EXPECT_FALSE(LoadReplay(path, QStringLiteral("Demo"), kLayout, error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("no keys"))) << error.toStdString();

    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("[12:00:00] MENU + ENTER\nUP + Dwn\n");
    file.close();
    EXPECT_FALSE(LoadReplay(path, QStringLiteral("Demo"), kLayout, error).has_value());
    EXPECT_TRUE(error.endsWith(QStringLiteral("line 5: \"Dwn\" is not a key of this instrument")))
        << error.toStdString();
}

} // namespace
} // namespace ombrix::history
