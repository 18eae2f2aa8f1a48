// The document's live session with ombrix-sim: every model is identified, its
// model file opened and its screen shown as the instrument drew it; keys reach
// the instrument; compact mode polls only for a screenshot; a swapped
// instrument brings its own model.
#include "SimScreen.h"
#include "SimulatorFixture.h"
#include "catalogue/ModelCatalogue.h"
#include "document/COmbrixDoc.h"
#include "document/SessionWorker.h"
#include "session/DataSource.h"

#include <QImage>
#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace ombrix::document::testing {
namespace {

// The display area of `screen` (below the icon panel of a one-bit screen)
// against the instrument's snapshot, pixel by pixel.
::testing::AssertionResult showsSnapshot(const sim::InstrumentModel& model,
                                         const render::CLumImage& screen, const QImage& snapshot) {
    if (snapshot.size() != QSize(model.width, model.height)) {
        return ::testing::AssertionFailure() << "no snapshot of the whole display";
    }
    const int top = model.bitsPerPixel == 1 ? model.iconPanelHeight : 0;
    std::set<std::uint32_t> colours;
    int differing = 0;
    std::string first;
    for (int y = 0; y < model.height; ++y) {
        for (int x = 0; x < model.width; ++x) {
            const std::uint32_t expected =
                ombrix::testing::ExpectedScreenPixel(model, snapshot, x, y);
            colours.insert(expected);
            if (screen.Pixel(x, top + y) != expected && differing++ == 0) {
                first = std::string("(")
                            .append(std::to_string(x))
                            .append(", ")
                            .append(std::to_string(y))
                            .append(")");
            }
        }
    }
    if (colours.size() < 2) {
        return ::testing::AssertionFailure() << "a blank snapshot proves nothing";
    }
    if (differing != 0) {
        return ::testing::AssertionFailure()
               << differing << " display pixels differ from the snapshot, the first at " << first;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult isHardware(const model::ModelFile& loaded,
                                      const sim::InstrumentModel& model) {
    const QString name = loaded.model().hardwareName;
    if (name.isEmpty() ||
        name.compare(QString::fromUtf8(model.hardwareName.data(), std::ssize(model.hardwareName)),
                     Qt::CaseInsensitive) != 0) {
        return ::testing::AssertionFailure() << "model \"" << name.toStdString() << "\" is open";
    }
    return ::testing::AssertionSuccess();
}

class DocumentOverSimulator : public SimulatorFixture {};

struct ModelCase {
    std::string_view key;
    std::string_view modelFile;
};

class EveryModel : public SimulatorFixture, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(EveryModel, IsIdentifiedAndShowsTheInstrumentsScreen) {
    const sim::InstrumentModel& model = *sim::findModel(GetParam().key);
    start(frozenModel(model.key));
    ASSERT_TRUE(session().waitForFrame());

    EXPECT_TRUE(isHardware(document().Model(), model));
    const auto selection = document().SyncInfo().selection();
    ASSERT_TRUE(selection.has_value());
    EXPECT_EQ(selection->modelPath.filename(), GetParam().modelFile);
    EXPECT_EQ(selection->serial, model.identification.serial);
    {
        const auto dataSet = document().GetDataSetReadOnly();
        EXPECT_NE((*dataSet)->identification.reply.find(
                      ",N" + std::to_string(model.identification.serial)),
                  std::string::npos);
        EXPECT_EQ((*dataSet)->identification.usValue, model.identification.usValue.value_or(0));
        EXPECT_EQ((*dataSet)->geometry,
                  (render::ScreenGeometry{model.width, model.height, model.iconPanelHeight}));
    }
    // The port is frozen, so the frame shown is the one the snapshot draws.
    EXPECT_TRUE(showsSnapshot(model, session().screen(), snapshot()));
}

INSTANTIATE_TEST_SUITE_P(SimulatedModels, EveryModel,
                         ::testing::Values(ModelCase{"mono", "lum745A.def"},
                                           ModelCase{"palette", "lum758A_ru.def"},
                                           ModelCase{"colour", "lum302plus.def"},
                                           ModelCase{"legacy", "lum74x.def"}),
                         [](const auto& info) { return std::string(info.param.key); });

TEST_F(DocumentOverSimulator, StoredKeyReachesTheInstrumentAndChangesItsScreen) {
    const sim::InstrumentModel& mono = *sim::findModel("mono");
    start(frozenModel("mono"));
    ASSERT_TRUE(session().waitForFrame());
    const render::CLumImage before = session().screen();
    const std::uint64_t frames = session().frameGeneration();

    ASSERT_TRUE(document().StoreKey(mono.keys.menu));
    ASSERT_TRUE(session().waitForFrame(frames));

    EXPECT_NE(session().screen(), before);
    EXPECT_TRUE(showsSnapshot(mono, session().screen(), snapshot())) << "the menu";
    const sim::testing::SimRecord received = record();
    EXPECT_EQ(received.count(keyCommand(mono.keys.menu)), 1U);
    EXPECT_EQ(received.count(";#0,"), 1U) << "one key command and nothing else";
}

// The gaps between the status polls the simulator received after `from`,
// in microseconds.
std::vector<std::int64_t> pollGaps(const sim::testing::SimRecord& record, std::int64_t from,
                                   std::int64_t to) {
    std::vector<std::int64_t> gaps;
    std::int64_t last = -1;
    for (const sim::testing::SimRecord::Event& event : record.events()) {
        if (event.name != "rx" || event.bytes.find("#7,IC;") == std::string::npos ||
            event.micros <= from || event.micros > to) {
            continue;
        }
        if (last >= 0) {
            gaps.push_back(event.micros - last);
        }
        last = event.micros;
    }
    return gaps;
}

// After a key that changes nothing on the screen, the status is asked for
// at the pace of commands for 300 ms, never closer than a command pause, and
// then at the pace of passes again.
TEST_F(DocumentOverSimulator, AfterAKeyTheStatusIsAskedAtThePaceOfCommands) {
    const sim::InstrumentModel& mono = *sim::findModel("mono");
    start(frozenModel("mono"));
    ASSERT_TRUE(session().waitForFrame());
    ASSERT_TRUE(document().StoreKey(mono.keys.up)); // moves nothing on the measurement page
    ASSERT_TRUE(session().waitUntil("the key", [&] { return document().SentKeys() == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(800));

    const sim::testing::SimRecord received = record();
    std::int64_t sent = -1;
    for (const sim::testing::SimRecord::Event& event : received.events()) {
        if (event.name == "rx" && event.bytes.find(keyCommand(mono.keys.up)) != std::string::npos) {
            sent = event.micros;
        }
    }
    ASSERT_GE(sent, 0);
    const std::int64_t fastEnd = sent + kFastKeyResponse.count() * 1000;
    const std::vector<std::int64_t> fast = pollGaps(received, sent, fastEnd);
    const std::vector<std::int64_t> paced = pollGaps(received, fastEnd + 60'000, sent + 800'000);
    ASSERT_FALSE(fast.empty());
    ASSERT_FALSE(paced.empty());
    EXPECT_GE(*std::min_element(fast.begin(), fast.end()), session::kCommandPause.count() * 1000);
    EXPECT_LT(*std::min_element(fast.begin(), fast.end()), kPassPause.count() * 1000);
    EXPECT_GE(*std::min_element(paced.begin(), paced.end()), kPassPause.count() * 1000);
}

// Compact mode polls nothing, yet a key pressed there goes out at once, in a
// pass of its own that reads no screen.
TEST_F(DocumentOverSimulator, CompactModeSendsAKeyWithoutPolling) {
    const sim::InstrumentModel& mono = *sim::findModel("mono");
    start(frozenModel("mono"));
    ASSERT_TRUE(session().waitForFrame());
    document().UpdatePollingMode(kCompactDisplayMode);
    ASSERT_TRUE(waitForPollsToStop());
    const std::size_t polls = record().polls();

    ASSERT_TRUE(document().StoreKey(mono.keys.menu));
    ASSERT_TRUE(session().waitUntil("the key", [&] { return document().SentKeys() == 1; }));
    const sim::testing::SimRecord received = record();
    EXPECT_EQ(received.count(keyCommand(mono.keys.menu)), 1U);
    EXPECT_EQ(received.polls(), polls);
}

// What the screenshot saver was given, shared with the screenshot thread.
struct SavedScreens {
    static constexpr int kSaved = 7;
    std::mutex criticalSection;
    render::CLumImage last;
    int count = 0;
};

TEST_F(DocumentOverSimulator, CompactModePollsOnceForAScreenshot) {
    const auto saved = std::make_shared<SavedScreens>();
    COmbrixDoc::Hooks hooks;
    hooks.saveScreenshot = [saved](const Frame& frame, const ScreenshotRequest&) {
        const std::lock_guard lock(saved->criticalSection);
        saved->last = frame.screen;
        ++saved->count;
        return SavedScreens::kSaved;
    };
    start(frozenModel("colour"), std::move(hooks));
    ASSERT_TRUE(session().waitForFrame());
    document().UpdatePollingMode(kCompactDisplayMode);
    ASSERT_TRUE(waitForPollsToStop()) << "compact mode polls on request only";
    const std::size_t polls = record().polls();

    ASSERT_TRUE(document().StartScreenshot(ScreenshotRequest{}));
    ASSERT_TRUE(session().waitUntil("the screenshot",
                                    [&] { return document().ScreenshotResult().has_value(); }));
    EXPECT_EQ(document().ScreenshotResult(), SavedScreens::kSaved);
    ASSERT_TRUE(waitForPollsToStop());
    EXPECT_EQ(record().polls(), polls + 1);

    // The saver gets the frame the session shows.
    const render::CLumImage screen = session().screen();
    const std::lock_guard lock(saved->criticalSection);
    EXPECT_EQ(saved->count, 1);
    EXPECT_FALSE(saved->last.IsEmpty());
    EXPECT_EQ(saved->last, screen);
}

TEST_F(DocumentOverSimulator, SwappedInstrumentOpensItsModelOnTheNextTick) {
    const sim::InstrumentModel& mono = *sim::findModel("mono");
    const sim::InstrumentModel& colour = *sim::findModel("colour");
    start(frozenModel("mono"));
    ASSERT_TRUE(session().waitForFrame());

    sim().controlOk("swap 1 colour");
    // The timer is held until the worker has polled the new instrument ("#7,SP,3;"
    // is the colour model's status request), as a late tick of the application.
    ASSERT_TRUE(session().waitUntil(
        "model changed and the new instrument polled",
        [&] { return document().SyncInfo().modelChanged() && record().count("#7,SP,3;") > 0; },
        Timer::Hold));
    EXPECT_TRUE(isHardware(document().Model(), mono)) << "nothing opens without the timer";
    const std::uint64_t frames = session().frameGeneration();
    document().OnTimer(DocumentTimer::Refresh);

    EXPECT_FALSE(document().SyncInfo().modelChanged());
    EXPECT_TRUE(isHardware(document().Model(), colour));
    EXPECT_EQ((*document().GetDataSetReadOnly())->geometry,
              (render::ScreenGeometry{colour.width, colour.height, colour.iconPanelHeight}));
    ASSERT_TRUE(session().waitForFrame(frames));
    EXPECT_TRUE(showsSnapshot(colour, session().screen(), snapshot()));
}

} // namespace
} // namespace ombrix::document::testing
