#include "document/SessionWorker.h"

#include "ScriptedSession.h"
#include "document/DataSetProxy.h"

#include <gtest/gtest.h>

namespace ombrix::document {
namespace {

using Pass = SessionWorker::Pass;
using session::Bytes;
using session::testing::Block;

const std::filesystem::path kPrograms = OMBRIX_SAMPLE_MODELS_DIR;
constexpr link::Serial kSerial = 20758;
constexpr const char* kIdentificationReply = "#1,U758,W4.62.1,N20758,S1C07;";
constexpr const char* kStatusRequest = "#7,SP,3;";
constexpr render::ScreenGeometry kGeometry{240, 160, 0};
constexpr std::size_t kScreenSize = 240 * 160 / 2;

std::string statusBlock(std::uint16_t status) {
    return Block("#7,SP,3,", Bytes{static_cast<std::uint8_t>(status & 0xFF),
                                   static_cast<std::uint8_t>(status >> 8)});
}

// Sixteen distinct entries: entry i has red 16 i, green i and blue 15.
Bytes paletteTriplets() {
    Bytes triplets;
    for (std::uint8_t i = 0; i < 16; ++i) {
        triplets.insert(triplets.end(), {static_cast<std::uint8_t>(i * 16), i, 0x0F});
    }
    return triplets;
}

// The worker pass by pass on a manual clock, against a scripted 4-bit palette
// instrument whose model file is among the sample models.
class SessionWorkerTest : public session::testing::ScriptedSession {
protected:
    ThreadsSyncInfo sync;
    DataToSend keys;
    DocumentDataSet dataSet;
    FrameBuffer frames;
    int framesReady = 0;
    int linkStateChanges = 0;
    SessionWorker worker{
        source, SessionRecords{sync, keys, dataSet, frames},
        SessionWorker::Options{
            kPrograms, std::nullopt, false,
            SessionWorker::Hooks{[this] { ++framesReady; }, [this] { ++linkStateChanges; }, {}}}};
    link::ScriptedDevice& device = addPaletteInstrument();

    link::ScriptedDevice& addPaletteInstrument() {
        link::ScriptedDevice& added = addInstrument("sock:/758", kSerial, 2);
        added.answer(";#1,U?,W?,N?,S?;", kIdentificationReply);
        added.answer("#7,SP,1;", Block("#7,SP,1,", Bytes{4, 0}));
        added.answer("#7,SP,2;", Block("#7,SP,2,", paletteTriplets()));
        added.answer(kStatusRequest, statusBlock(0));
        return added;
    }

    // Runs one pass, checks how it ended and returns what it wrote to the instrument.
    std::string pass(Pass expected) {
        const std::size_t before = device.written().size();
        EXPECT_EQ(worker.RunPass(), expected);
        return device.written().substr(before);
    }

    void connectAndPoll() {
        ASSERT_EQ(worker.RunPass(), Pass::Connected);
        ASSERT_EQ(worker.RunPass(), Pass::Polled);
    }

    // What the model loader does on the user-interface thread.
    void loadModel() {
        const DataSetProxy loaded(dataSet);
        loaded->geometry = kGeometry;
        ASSERT_TRUE(render::CreateScreenImage(loaded->screenImage, kGeometry));
    }

    // A new screen whose every byte is `fill` but the last, 0x43.
    void showNewScreen(char fill = '\x21') {
        std::string screen(kScreenSize, fill);
        screen.back() = '\x43';
        device.answer(kStatusRequest, statusBlock(session::kStatusNewScreen));
        device.answer("#7,SC;", screen);
    }

    std::uint64_t generation() const {
        const std::shared_ptr<const Frame> frame = frames.latest();
        return frame ? frame->generation : 0;
    }
};

TEST_F(SessionWorkerTest, ConnectingStoresTheSelectionOnceTheInstrumentIsThere) {
    device.setPresent(false);
    EXPECT_EQ(worker.RunPass(), Pass::ConnectFailed);
    EXPECT_EQ(worker.failedConnections(), 1u);
    EXPECT_FALSE(sync.selection().has_value());

    device.setPresent(true);
    EXPECT_EQ(worker.RunPass(), Pass::Connected);
    EXPECT_EQ(sync.selection(),
              (session::ModelSelection{kPrograms / "Data" / "lum758A_ru.def", kSerial}));
    EXPECT_TRUE(sync.modelChanged());
    EXPECT_EQ(worker.linkState(), LinkState::Connected);
    EXPECT_EQ(linkStateChanges, 1);
}

TEST_F(SessionWorkerTest, TheFirstPollReadsIdentityFormatAndPaletteLaterOnesOnlyTheStatus) {
    ASSERT_EQ(worker.RunPass(), Pass::Connected);
    EXPECT_EQ(pass(Pass::Polled), ";#1,U?,W?,N?,S?;;#7,US;#7,SP,1;#7,SP,2;#7,SP,3;");
    EXPECT_EQ(pass(Pass::Polled), "#7,SP,3;");
    EXPECT_EQ(framesReady, 0); // no model loaded: nothing to show

    const ReadOnlyDataSetProxy read(dataSet);
    EXPECT_EQ(read->identification.reply, kIdentificationReply);
    EXPECT_EQ(read->displayParameters.bitsPerPixel, 4u);
    ASSERT_EQ(read->palette.size(), 16u);
    EXPECT_EQ(read->palette[1], 0x10010Fu);
}

TEST_F(SessionWorkerTest, OfTwoKeysBetweenPassesOnlyTheLaterIsSentAndNothingIsPolled) {
    connectAndPoll();
    keys.store(0x61, worker.connection());
    keys.store(0x6A, worker.connection());
    EXPECT_EQ(pass(Pass::KeySent), ";#0,\x6A;");
    EXPECT_EQ(pass(Pass::Polled), kStatusRequest);
}

// A code goes only to the connection it was pressed for: one still waiting
// when the link breaks is dropped, and one handed over for a connection
// already gone is never sent to the next, even of the same instrument.
TEST_F(SessionWorkerTest, AKeyNeverReachesAConnectionMadeAfterItWasPressed) {
    connectAndPoll();
    const std::uint64_t first = worker.connection();
    keys.store(0x62, first);
    device.setFailWrite(true); // the link breaks while the code goes out
    EXPECT_EQ(worker.RunPass(), Pass::KeyFailed);
    EXPECT_EQ(worker.connection(), 0u);

    device.setFailWrite(false);
    keys.store(0x61, first); // handed over before the loss was seen
    ASSERT_EQ(worker.RunPass(), Pass::Connected);
    EXPECT_NE(worker.connection(), first);
    EXPECT_FALSE(keys.pending());
    keys.store(0x61, first);
    EXPECT_EQ(pass(Pass::Polled).find(";#0,"), std::string::npos);
    EXPECT_EQ(worker.failedKeys(), 2u); // the failed send and the late one
    EXPECT_EQ(worker.sentKeys(), 0u);
}

// After a key the status is asked for at the pace of commands until the
// screen changed or 300 ms passed; polling otherwise keeps the pass pause.
TEST_F(SessionWorkerTest, AKeysScreenIsAwaitedAtThePaceOfCommands) {
    connectAndPoll();
    loadModel();
    EXPECT_EQ(worker.NextPause(), kPassPause);
    keys.store(0x66, worker.connection());
    ASSERT_EQ(worker.RunPass(), Pass::KeySent);
    EXPECT_EQ(worker.NextPause(), session::kCommandPause);
    ASSERT_EQ(worker.RunPass(), Pass::Polled); // not changed yet
    EXPECT_EQ(worker.NextPause(), session::kCommandPause);
    showNewScreen();
    ASSERT_EQ(worker.RunPass(), Pass::Polled);
    EXPECT_EQ(worker.NextPause(), kPassPause);

    device.answer(kStatusRequest, statusBlock(0));
    keys.store(0x66, worker.connection());
    ASSERT_EQ(worker.RunPass(), Pass::KeySent);
    clock.advance(kFastKeyResponse); // a key that changed nothing on the screen
    EXPECT_EQ(worker.NextPause(), kPassPause);
}

TEST_F(SessionWorkerTest, WithTheFastKeyResponseOffEveryPauseIsAPassPause) {
    SessionWorker paced{source, SessionRecords{sync, keys, dataSet, frames},
                        SessionWorker::Options{kPrograms, std::nullopt, false, {}, false}};
    ASSERT_EQ(paced.RunPass(), Pass::Connected);
    ASSERT_EQ(paced.RunPass(), Pass::Polled);
    keys.store(0x66, paced.connection());
    ASSERT_EQ(paced.RunPass(), Pass::KeySent);
    EXPECT_EQ(paced.NextPause(), kPassPause);
}

TEST_F(SessionWorkerTest, WithoutPollingAKeyStillGetsAPassOfItsOwn) {
    connectAndPoll();
    sync.setPollingEnabled(false);
    keys.store(0x66, worker.connection());
    EXPECT_EQ(pass(Pass::KeySent), ";#0,\x66;");
    EXPECT_EQ(pass(Pass::Idle), "");
}

// The instrument in use is waited for: another one attached is taken in its
// place only after ten seconds without it.
TEST_F(SessionWorkerTest, ALostInstrumentIsWaitedForBeforeAnotherIsTaken) {
    connectAndPoll();
    link::ScriptedDevice& other = addInstrument("sock:/745", 10745, 1);
    other.answer(";#1,U?,W?,N?,S?;", "#1,U745A,W1.05.3,N10745,S2A4F;");
    device.setPresent(false);
    EXPECT_EQ(worker.RunPass(), Pass::PollFailed);
    EXPECT_EQ(worker.RunPass(), Pass::ConnectFailed);
    clock.advance(std::chrono::seconds(9));
    EXPECT_EQ(worker.RunPass(), Pass::ConnectFailed);
    EXPECT_EQ(sync.selectedSerial(), kSerial);

    device.setPresent(true);
    EXPECT_EQ(worker.RunPass(), Pass::Connected);
    EXPECT_EQ(sync.selectedSerial(), kSerial);

    device.setPresent(false);
    EXPECT_EQ(worker.RunPass(), Pass::PollFailed);
    clock.advance(kLostInstrumentWait);
    EXPECT_EQ(worker.RunPass(), Pass::Connected);
    EXPECT_EQ(sync.selectedSerial(), 10745u);
}

TEST_F(SessionWorkerTest, WithPollingDisabledARefreshGetsOnePoll) {
    sync.setPollingEnabled(false);
    EXPECT_EQ(pass(Pass::Idle), "");
    EXPECT_EQ(device.openCount(), 0);

    sync.requestRefresh();
    EXPECT_EQ(worker.RunPass(), Pass::Connected);
    EXPECT_TRUE(sync.refreshRequested());
    EXPECT_EQ(worker.RunPass(), Pass::Polled);
    EXPECT_FALSE(sync.refreshRequested());
    EXPECT_EQ(pass(Pass::Idle), "");
}

TEST_F(SessionWorkerTest, ANewScreenIsReadWholeOnceAModelIsLoaded) {
    connectAndPoll();
    showNewScreen();
    // Without a model there is no size to ask for, and an unread screen would
    // arrive as the reply to the next command.
    EXPECT_EQ(pass(Pass::Polled), kStatusRequest);
    loadModel();
    EXPECT_EQ(pass(Pass::Polled), "#7,SP,3;#7,SC;");

    ASSERT_EQ(generation(), 1u);
    const std::shared_ptr<const Frame> frame = frames.latest();
    const render::CLumImage& screen = frame->screen;
    const ReadOnlyDataSetProxy read(dataSet);
    EXPECT_EQ(screen.Pixel(0, 0), read->palette[1]);
    EXPECT_EQ(screen.Pixel(0, 1), read->palette[2]);
    EXPECT_EQ(screen.Pixel(239, 158), read->palette[3]);
    EXPECT_EQ(screen.Pixel(239, 159), read->palette[4]);
}

TEST_F(SessionWorkerTest, OnlyAChangedPictureIsPublishedAndAHeldFrameNeverChanges) {
    connectAndPoll();
    loadModel();
    showNewScreen();
    ASSERT_EQ(worker.RunPass(), Pass::Polled);
    ASSERT_EQ(framesReady, 1);
    const std::shared_ptr<const Frame> held = frames.latest();
    const render::CLumImage heldScreen = held->screen;

    device.answer(kStatusRequest, statusBlock(0));
    ASSERT_EQ(worker.RunPass(), Pass::Polled);
    showNewScreen(); // the instrument says new, but sends the same picture
    ASSERT_EQ(worker.RunPass(), Pass::Polled);
    EXPECT_EQ(framesReady, 1);

    // Passes go on publishing while the frame is held; the held one stays as it was.
    showNewScreen('\x65');
    ASSERT_EQ(worker.RunPass(), Pass::Polled);
    showNewScreen('\x21');
    ASSERT_EQ(worker.RunPass(), Pass::Polled);
    EXPECT_EQ(framesReady, 3);
    EXPECT_EQ(generation(), 3u);
    EXPECT_EQ(held->generation, 1u);
    EXPECT_EQ(held->screen, heldScreen);
}

TEST_F(SessionWorkerTest, AReconnectionToAnotherModelStopsScreenReadsUntilItIsLoaded) {
    connectAndPoll();
    loadModel();
    sync.storeSelection(session::ModelSelection{"other.def", kSerial}); // opened by the user
    device.answer(kStatusRequest, "#7,?;");
    ASSERT_EQ(worker.RunPass(), Pass::PollFailed);
    showNewScreen();
    ASSERT_EQ(worker.RunPass(), Pass::Connected);
    // The loaded screen is the other model's, so no screen is read for it.
    EXPECT_EQ(pass(Pass::Polled).find("#7,SC;"), std::string::npos);
    loadModel();
    EXPECT_TRUE(pass(Pass::Polled).ends_with("#7,SC;"));
}

TEST_F(SessionWorkerTest, ALinkFailureKeepsTheLastFrameAndTheWorkerReconnects) {
    connectAndPoll();
    loadModel();
    showNewScreen();
    ASSERT_EQ(worker.RunPass(), Pass::Polled);

    device.answer("#7,SC;", std::string(100, '\x55')); // cut short: times out
    EXPECT_EQ(pass(Pass::PollFailed), "#7,SP,3;#7,SC;");
    EXPECT_EQ(worker.linkState(), LinkState::Lost);
    EXPECT_EQ(framesReady, 1);
    EXPECT_EQ(generation(), 1u);

    device.answer(kStatusRequest, statusBlock(0));
    device.setPresent(false);
    EXPECT_EQ(worker.RunPass(), Pass::ConnectFailed);
    EXPECT_EQ(worker.linkState(), LinkState::Lost);
    device.setPresent(true);
    EXPECT_EQ(worker.RunPass(), Pass::Connected);
    EXPECT_EQ(worker.linkState(), LinkState::Connected);
    EXPECT_EQ(linkStateChanges, 3);
    EXPECT_EQ(framesReady, 1);
    EXPECT_TRUE(pass(Pass::Polled).starts_with(";#1,U?,W?,N?,S?;"));
}

TEST_F(SessionWorkerTest, ANotSupportedStatusMakesTheWorkerReconnect) {
    connectAndPoll();
    device.answer(kStatusRequest, "#7,?;");
    EXPECT_EQ(worker.RunPass(), Pass::PollFailed);
    EXPECT_EQ(worker.RunPass(), Pass::Connected);
}

} // namespace
} // namespace ombrix::document
