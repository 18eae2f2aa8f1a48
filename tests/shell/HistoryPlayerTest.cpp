// Playing a history back on a hand-driven clock: one entry at a time, each
// after the code before went out and the pause passed, and every way it ends.
#include "shell/HistoryPlayer.h"

#include <gtest/gtest.h>

namespace ombrix::shell {
namespace {

using namespace std::chrono_literals;

class HistoryPlayerTest : public ::testing::Test {
protected:
    HistoryPlayer::Clock::time_point now{};
    HistoryPlayer::KeyCounts counts;
    std::vector<int> pressedLines;
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    std::vector<QString> outcomes;
    HistoryPlayer player{HistoryPlayer::Calls{
        [this](const history::ReplayStep& step) { pressedLines.push_back(step.line); },
        [this] { return counts; },
        [this](std::size_t entry, std::size_t count) { progress.emplace_back(entry, count); },
        [this](const QString& outcome) { outcomes.push_back(outcome); },
    }};

    static std::vector<history::ReplayStep> steps(std::initializer_list<int> lines) {
        std::vector<history::ReplayStep> all;
        for (const int line : lines) {
            all.push_back({line, {}, 0x10, false});
        }
        return all;
    }
    void after(std::chrono::milliseconds elapsed) {
        now += elapsed;
        player.Advance(now);
    }
};

TEST_F(HistoryPlayerTest, EachEntryWaitsForTheCodeBeforeItAndThenThePause) {
    player.Start(steps({2, 5, 6}), 300ms, now);
    EXPECT_EQ(pressedLines, (std::vector<int>{2}));
    after(2000ms); // the worker has not sent it yet
    EXPECT_EQ(pressedLines.size(), 1u);
    ++counts.sent;
    after(50ms);
    after(250ms);
    EXPECT_EQ(pressedLines.size(), 1u) << "pressed before the pause ended";
    after(50ms);
    EXPECT_EQ(pressedLines, (std::vector<int>{2, 5}));
    ++counts.sent;
    after(50ms);
    after(300ms);
    EXPECT_TRUE(outcomes.empty());
    ++counts.sent;
    after(50ms);
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(pressedLines, (std::vector<int>{2, 5, 6}));
    using Progress = std::vector<std::pair<std::size_t, std::size_t>>;
    EXPECT_EQ(progress, (Progress{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(outcomes, std::vector<QString>{QStringLiteral("Played back 3 entries.")});
}

TEST_F(HistoryPlayerTest, WithoutAPauseTheNextEntryFollowsTheSentCodeAtOnce) {
    player.Start(steps({1, 2}), 0ms, now);
    ++counts.sent;
    after(50ms);
    EXPECT_EQ(pressedLines, (std::vector<int>{1, 2}));
}

// The worker may be sending a code of before while the first entry's waits
// in the slot: that send is not the entry's, and nothing is stored over it.
TEST_F(HistoryPlayerTest, ASendWhileTheEntrysCodeStillWaitsIsNotItsOwn) {
    player.Start(steps({1, 2}), 0ms, now);
    counts.pending = true;
    ++counts.sent;
    after(50ms);
    EXPECT_EQ(pressedLines.size(), 1u);
    ++counts.failed;
    after(50ms);
    EXPECT_TRUE(player.Playing()) << "another code's failure ended it";
    counts.pending = false;
    ++counts.sent;
    after(50ms);
    EXPECT_EQ(pressedLines, (std::vector<int>{1, 2}));
}

TEST_F(HistoryPlayerTest, AFailedOrLostCodeEndsThePlayBackNamingItsLine) {
    player.Start(steps({3, 9}), 0ms, now);
    ++counts.sent;
    after(50ms);
    ++counts.failed;
    after(50ms);
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(outcomes.back(),
              QStringLiteral("Play back stopped: the instrument did not take entry 2 (line 9)."));

    player.Start(steps({4}), 0ms, now);
    after(HistoryPlayer::kSendTimeout - 1ms);
    EXPECT_TRUE(player.Playing());
    after(1ms);
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(outcomes.back(),
              QStringLiteral("Play back stopped: entry 1 (line 4) was not sent within 10 s."));
}

TEST_F(HistoryPlayerTest, StoppingCountsTheEntriesWhoseCodesWereHandedOver) {
    player.Start(steps({1, 2, 3}), 500ms, now);
    player.Stop(); // the first code was handed over: it still goes out
    EXPECT_EQ(outcomes.back(), QStringLiteral("Play back stopped after 1 of 3 entries."));
    after(1000ms);
    EXPECT_EQ(pressedLines.size(), 1u);

    player.Start(steps({1, 2, 3}), 500ms, now);
    ++counts.sent;
    after(50ms); // pausing after the first
    player.Stop();
    EXPECT_EQ(outcomes.back(), QStringLiteral("Play back stopped after 1 of 3 entries."));
    player.Stop();
    EXPECT_EQ(outcomes.size(), 2u) << "a second stop said something";
}

} // namespace
} // namespace ombrix::shell
