// Computer keys as the user pressed them, with the keyboard's auto-repeat as
// an X server sends it: release and press pairs with one time stamp, which the
// toolkit may or may not have recognised.
#include "shell/PcKeyTracker.h"

#include "shell/KeyRouting.h"

#include <QtCore/qnamespace.h>
#include <gtest/gtest.h>

namespace ombrix::shell {
namespace {

using namespace std::chrono_literals;
using Action = PcKeyTracker::Action;
using Outputs = std::vector<PcKeyTracker::Output>;

constexpr std::uint32_t kDownScan = 116;

class PcKeyTrackerTest : public ::testing::Test {
protected:
    // What the window system says of the key; none: it cannot tell.
    std::optional<bool> serverSaysDown;
    PcKeyTracker tracker{[this](std::uint32_t) { return serverSaysDown; }};
    PcKeyTracker::Clock::time_point now{};
    Outputs seen;

    void press(int key, std::uint64_t timestamp, bool ctrl = false, bool repeat = false) {
        append(tracker.Pressed({key, kDownScan, timestamp, repeat, ctrl, false}, now));
    }
    void release(int key, std::uint64_t timestamp) {
        append(tracker.Released({key, kDownScan, timestamp, false, false, false}, now));
    }
    void append(const Outputs& outputs) { seen.insert(seen.end(), outputs.begin(), outputs.end()); }

    static PcKeyTracker::Output pressOf(int key, bool ctrl = false) {
        return {Action::Press, key, ctrl, false};
    }
    static PcKeyTracker::Output releaseOf(int key) { return {Action::Release, key, false, false}; }
};

TEST_F(PcKeyTrackerTest, AKeyHeldWithAutoRepeatIsOnePressAndOneRelease) {
    serverSaysDown = true;
    press(Qt::Key_Down, 1000);
    for (std::uint64_t repeat = 1660; repeat < 6000; repeat += 40) {
        release(Qt::Key_Down, repeat); // not recognised as a repeat by the toolkit
        press(Qt::Key_Down, repeat);
    }
    press(Qt::Key_Down, 6000, false, true); // one it did recognise
    EXPECT_EQ(seen, Outputs{pressOf(Qt::Key_Down)});
    serverSaysDown = false;
    release(Qt::Key_Down, 6010);
    EXPECT_EQ(seen, (Outputs{pressOf(Qt::Key_Down), releaseOf(Qt::Key_Down)}));
    EXPECT_FALSE(tracker.NextSettle());
}

// The key went up between the server's repeat and the question: the release
// counts, and the rest of that repeat and the real release that follows
// press nothing.
TEST_F(PcKeyTrackerTest, ARepeatSettledAsAReleasePressesNothingMore) {
    serverSaysDown = false;
    press(Qt::Key_Escape, 1000);
    release(Qt::Key_Escape, 1660);
    press(Qt::Key_Escape, 1660);
    release(Qt::Key_Escape, 1670);
    EXPECT_EQ(seen, (Outputs{pressOf(Qt::Key_Escape), releaseOf(Qt::Key_Escape)}));
    press(Qt::Key_Escape, 2500); // a new press
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(PcKeyTrackerTest, AReleaseWithoutTheRestOfARepeatIsSettledOnceTheKeyIsUp) {
    serverSaysDown = true;
    press(Qt::Key_Up, 1000);
    release(Qt::Key_Up, 1660);
    ASSERT_EQ(tracker.NextSettle(), now + PcKeyTracker::kRepeatGrace);
    now += PcKeyTracker::kRepeatGrace;
    append(tracker.Settle(now)); // still down: asked again later
    EXPECT_EQ(seen.size(), 1u);
    serverSaysDown = false;
    now += PcKeyTracker::kRepeatGrace;
    append(tracker.Settle(now));
    EXPECT_EQ(seen, (Outputs{pressOf(Qt::Key_Up), releaseOf(Qt::Key_Up)}));
}

// Where the platform cannot tell, releases count as they come and only the
// toolkit's repeat flag and a press of a key already down mark repeats.
TEST_F(PcKeyTrackerTest, WithoutTheServersWordTheToolkitsFlagsDecide) {
    press(Qt::Key_Left, 0);
    press(Qt::Key_Left, 0);
    press(Qt::Key_Left, 0, false, true);
    release(Qt::Key_Left, 0);
    press(Qt::Key_Left, 0);
    release(Qt::Key_Left, 0);
    EXPECT_EQ(seen, (Outputs{pressOf(Qt::Key_Left), releaseOf(Qt::Key_Left), pressOf(Qt::Key_Left),
                             releaseOf(Qt::Key_Left)}));
}

// A modifier presses its own key only alone; with another key it starts a
// shortcut (Alt+V, Ctrl+C) or makes that key a right-button press (Ctrl).
TEST_F(PcKeyTrackerTest, AModifierCountsOnlyWhenNoOtherKeyCameBetween) {
    press(Qt::Key_Shift, 0);
    release(Qt::Key_Shift, 0);
    EXPECT_EQ(seen, (Outputs{pressOf(Qt::Key_Shift), releaseOf(Qt::Key_Shift)}));

    seen.clear();
    press(Qt::Key_Control, 0);
    press(Qt::Key_Return, 0, true);
    release(Qt::Key_Return, 0);
    press(Qt::Key_C, 0, true);
    release(Qt::Key_C, 0);
    release(Qt::Key_Control, 0);
    EXPECT_EQ(seen, (Outputs{pressOf(Qt::Key_Return, true), releaseOf(Qt::Key_Return),
                             pressOf(Qt::Key_C, true), releaseOf(Qt::Key_C)}));
    EXPECT_TRUE(PressesWithModifier(Qt::Key_Return));
    EXPECT_FALSE(PressesWithModifier(Qt::Key_C));
    EXPECT_FALSE(PressesWithModifier(Qt::Key_V));
}

TEST_F(PcKeyTrackerTest, KeysHeldWhenTheKeyboardLeavesAreForgotten) {
    serverSaysDown = true;
    press(Qt::Key_Down, 1000);
    release(Qt::Key_Down, 1660);
    tracker.Clear();
    EXPECT_FALSE(tracker.NextSettle());
    release(Qt::Key_Down, 2000);
    EXPECT_EQ(seen, Outputs{pressOf(Qt::Key_Down)});
}

} // namespace
} // namespace ombrix::shell
