// The document's live session when the link fails: an unplugged or stalled
// instrument keeps the last frame while the worker keeps trying, and the
// document ends its threads in bounded time whatever the session is doing.
#include "SimulatorFixture.h"
#include "catalogue/ModelCatalogue.h"
#include "document/COmbrixDoc.h"
#include "link/UsbConnection.h"

#include <QTemporaryDir>
#include <algorithm>
#include <chrono>

namespace ombrix::document::testing {
namespace {

// Scheduling slack of the simulator, which stamps both ends of a silence.
constexpr std::chrono::milliseconds kRecordSlack{100};
// A time-out this much longer than its value is not the reply time-out.
constexpr std::chrono::milliseconds kTimeoutLeeway{2000};

class DocumentLinkFaults : public SimulatorFixture {
protected:
    // The session is back: connected again, and a key changes the frozen screen.
    ::testing::AssertionResult resumes(const char* model, std::uint64_t frames) {
        if (auto connected = session().waitUntil(
                "a reconnection",
                [&] { return document().GetLinkState() == LinkState::Connected; });
            !connected) {
            return connected;
        }
        document().StoreKey(sim::findModel(model)->keys.menu);
        return session().waitForFrame(frames);
    }
};

TEST_F(DocumentLinkFaults, UnpluggedInstrumentKeepsTheLastFrameUntilReplugged) {
    start(frozenModel("palette"));
    ASSERT_TRUE(session().waitForFrame());
    const render::CLumImage lastFrame = session().screen();
    const std::uint64_t frames = session().frameGeneration();
    const std::uint32_t failures = document().FailedConnections();

    sim().controlOk("unplug 1");
    ASSERT_TRUE(session().waitUntil("the worker to try again and again", [&] {
        return document().FailedConnections() >= failures + 3;
    }));
    EXPECT_EQ(session().screen(), lastFrame);
    EXPECT_EQ(session().frameGeneration(), frames);
    EXPECT_EQ(document().GetLinkState(), LinkState::Lost);

    sim().controlOk("replug 1");
    EXPECT_TRUE(resumes("palette", frames));
}

// The one real-time proof that the session drops a silent instrument.
TEST_F(DocumentLinkFaults, StalledInstrumentIsDroppedAfterFourSecondsOfSilence) {
    start(frozenModel("colour"));
    ASSERT_TRUE(session().waitForFrame());
    const std::size_t eventsBefore = record().events().size();

    sim().controlOk("stall 1 on");
    ASSERT_TRUE(session().waitUntil("a failed reconnection",
                                    [&] { return document().FailedConnections() > 0; }));
    const std::uint64_t frames = session().frameGeneration();

    // From the request left unanswered to the worker closing the link.
    const sim::testing::SimRecord stalled = record();
    const auto after = stalled.events().begin() + static_cast<std::ptrdiff_t>(eventsBefore);
    const auto drop = std::find_if(after, stalled.events().end(),
                                   [](const auto& event) { return event.name == "disconnect"; });
    ASSERT_NE(drop, stalled.events().end());
    const auto request =
        std::find_if(std::make_reverse_iterator(drop), std::make_reverse_iterator(after),
                     [](const auto& event) { return event.name == "rx"; });
    ASSERT_NE(request, std::make_reverse_iterator(after));
    const std::chrono::microseconds silence{drop->micros - request->micros};
    EXPECT_GE(silence, link::kReplyTimeout - kRecordSlack);
    EXPECT_LT(silence, link::kReplyTimeout + kTimeoutLeeway);

    sim().controlOk("stall 1 off");
    EXPECT_TRUE(resumes("colour", frames));
}

class DocumentShutdown : public SimulatorFixture {};

TEST(DocumentShutdownWithoutInstrument, EndsTheThreadsWhileConnecting) {
    const QTemporaryDir noInstruments;
    LiveSession session(noInstruments.path().toStdString());
    ASSERT_TRUE(session.waitUntil("a failed connection",
                                  [&] { return session.document().FailedConnections() > 0; }));
    EXPECT_LT(session.closeDocument(), kThreadStopTimeout);
}

TEST_F(DocumentShutdown, EndsTheThreadsWhileIdentificationStalls) {
    start({"--do", "stall 1 on", "mono"});
    ASSERT_TRUE(session().waitUntil("an identification request",
                                    [&] { return record().count(";#1,U?,N?;") > 0; }));
    EXPECT_LT(session().closeDocument(), kThreadStopTimeout);
}

TEST_F(DocumentShutdown, EndsTheThreadsWhilePolling) {
    start({"colour"});
    ASSERT_TRUE(session().waitForFrame());
    EXPECT_LT(session().closeDocument(), kThreadStopTimeout);
}

TEST_F(DocumentShutdown, EndsTheThreadsWhileAScreenshotWaits) {
    start(frozenModel("colour"));
    ASSERT_TRUE(session().waitForFrame());
    document().UpdatePollingMode(kCompactDisplayMode);
    ASSERT_TRUE(waitForPollsToStop());
    sim().controlOk("stall 1 on");
    const std::size_t polls = record().polls();

    // The screenshot's poll gets no answer, so its refresh request never clears.
    ASSERT_TRUE(document().StartScreenshot(ScreenshotRequest{}));
    ASSERT_TRUE(
        session().waitUntil("the screenshot's poll", [&] { return record().polls() > polls; }));
    EXPECT_FALSE(document().ScreenshotResult().has_value());
    EXPECT_LT(session().closeDocument(), kThreadStopTimeout);
}

} // namespace
} // namespace ombrix::document::testing
