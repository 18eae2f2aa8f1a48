#include "document/DataSetProxy.h"
#include "document/DataSetUpdate.h"
#include "document/DataToSend.h"
#include "document/DocumentName.h"
#include "document/Event.h"
#include "document/FrameBuffer.h"
#include "document/ThreadsSyncInfo.h"
#include "doubles/ManualClock.h"

#include <future>
#include <gtest/gtest.h>

namespace ombrix::document {
namespace {

using namespace std::chrono_literals;
using base::DisplayColors;
using session::ModelSelection;

const ModelSelection kMono{"/opt/ombrix/Data/lum745A.def", 10745};
const ModelSelection kPalette{"/opt/ombrix/Data/lum758A_ru.def", 20758};

TEST(ThreadsSyncInfoTest, ModelChangesOnlyWhenTheSelectionDiffers) {
    ThreadsSyncInfo sync;
    EXPECT_FALSE(sync.modelChanged());
    sync.storeSelection(kMono);
    EXPECT_TRUE(sync.modelChanged());
    sync.clearModelChanged(kMono);
    sync.storeSelection(kMono); // a reconnection to the same instrument
    EXPECT_FALSE(sync.modelChanged());
    sync.storeSelection(ModelSelection{kMono.modelPath, 1});
    EXPECT_TRUE(sync.modelChanged());
    sync.clearModelChanged(ModelSelection{kMono.modelPath, 1});
    sync.storeSelection(std::nullopt);
    EXPECT_TRUE(sync.modelChanged());
    EXPECT_FALSE(sync.selectedSerial().has_value());
}

TEST(ThreadsSyncInfoTest, ASelectionStoredDuringALoadKeepsModelChanged) {
    ThreadsSyncInfo sync;
    sync.storeSelection(kMono);
    sync.storeSelection(kPalette); // the worker found another instrument meanwhile
    sync.clearModelChanged(kMono); // the load of the first one ends
    EXPECT_TRUE(sync.modelChanged());
    EXPECT_EQ(sync.selection(), kPalette);
    sync.clearModelChanged(kPalette);
    EXPECT_FALSE(sync.modelChanged());
}

TEST(ThreadsSyncInfoTest, ARefreshOverridesDisabledPolling) {
    ThreadsSyncInfo sync;
    EXPECT_TRUE(sync.shouldPoll());
    sync.setPollingEnabled(false);
    EXPECT_FALSE(sync.shouldPoll());
    sync.requestRefresh();
    EXPECT_TRUE(sync.shouldPoll());
    sync.clearRefreshRequested(sync.refreshRequests());
    EXPECT_FALSE(sync.shouldPoll());
    sync.setPollingEnabled(true);
    EXPECT_TRUE(sync.shouldPoll());
}

// A poll that began before a screenshot asked may have read an older status, so
// it must not count as the fresh poll.
TEST(ThreadsSyncInfoTest, APollStartedBeforeARequestDoesNotClearIt) {
    ThreadsSyncInfo sync;
    sync.requestRefresh();
    const std::uint32_t atPollStart = sync.refreshRequests();
    sync.requestRefresh();
    sync.clearRefreshRequested(atPollStart);
    EXPECT_TRUE(sync.refreshRequested());
    sync.clearRefreshRequested(sync.refreshRequests());
    EXPECT_FALSE(sync.refreshRequested());
}

// Whether a thread other than the caller can take the data set's lock. A
// failed try_lock may be spurious, so a free lock is given a few chances.
bool lockableElsewhere(const DocumentDataSet& dataSet) {
    return std::async(std::launch::async,
                      [&dataSet] {
                          for (int attempt = 0; attempt < 20; ++attempt) {
                              if (std::unique_lock lock(dataSet.criticalSection, std::try_to_lock);
                                  lock.owns_lock()) {
                                  return true;
                              }
                          }
                          return false;
                      })
        .get();
}

TEST(DataSetProxyTest, TheLockIsHeldWhileAnyCopyLives) {
    DocumentDataSet dataSet;
    EXPECT_TRUE(lockableElsewhere(dataSet));
    {
        auto shared = std::make_shared<DataSetProxy>(dataSet);
        (*shared)->palette = {3u};
        auto sharedCopy = shared;
        shared.reset();
        EXPECT_FALSE(lockableElsewhere(dataSet));
        const DataSetProxy proxyCopy = *sharedCopy;
        sharedCopy.reset();
        EXPECT_FALSE(lockableElsewhere(dataSet));
        EXPECT_EQ(proxyCopy->palette, session::Palette{3u});
    }
    EXPECT_TRUE(lockableElsewhere(dataSet));
    {
        const auto readOnly = std::make_shared<ReadOnlyDataSetProxy>(dataSet);
        EXPECT_FALSE(lockableElsewhere(dataSet));
        // The thread holding it may take it again, as the operations it calls do.
        const DataSetProxy again(dataSet);
        EXPECT_FALSE(lockableElsewhere(dataSet));
    }
    EXPECT_TRUE(lockableElsewhere(dataSet));
}

Frame frameOf(base::Pixel pixel) {
    Frame frame;
    frame.geometry = {1, 1, 0};
    frame.screen.Create(1, 1);
    frame.screen.SetPixel(0, 0, pixel);
    return frame;
}

TEST(FrameBufferTest, OnlyAFrameThatShowsSomethingElseGetsANewGeneration) {
    FrameBuffer frames;
    EXPECT_EQ(frames.latest(), nullptr);
    EXPECT_TRUE(frames.publish(frameOf(0x112233u)));
    const std::shared_ptr<const Frame> first = frames.latest();
    EXPECT_EQ(first->generation, 1u);
    EXPECT_FALSE(frames.publish(frameOf(0x112233u)));
    EXPECT_EQ(frames.latest(), first);
    EXPECT_TRUE(frames.publish(frameOf(0x445566u)));
    EXPECT_EQ(frames.latest()->generation, 2u);
    EXPECT_EQ(first->screen.Pixel(0, 0), 0x112233u);

    frames.clear();
    EXPECT_EQ(frames.latest(), nullptr);
    EXPECT_TRUE(frames.publish(frameOf(0x445566u)));
    EXPECT_EQ(frames.latest()->generation, 3u);
}

TEST(FrameBufferTest, AFrameIsReusedOnlyOnceNoReaderHoldsIt) {
    FrameBuffer frames;
    EXPECT_TRUE(frames.publish(frameOf(1)));
    const std::shared_ptr<const Frame> held = frames.latest();
    EXPECT_TRUE(frames.publish(frameOf(2)));
    EXPECT_TRUE(frames.recycled().screen.IsEmpty()); // the held frame is not taken
    EXPECT_TRUE(frames.publish(frameOf(3)));
    const Frame reused = frames.recycled(); // frame 2, which nobody held
    EXPECT_EQ(reused.screen.Pixel(0, 0), 2u);
    EXPECT_EQ(held->screen.Pixel(0, 0), 1u);
    EXPECT_EQ(frames.latest()->screen.Pixel(0, 0), 3u);
}

TEST(EventTest, AWaitEndsAtItsBoundOrAtOnceWhenSet) {
    constexpr link::Ticks kStart = 0xFFFFFF00u; // the bound ends after the tick wrap
    link::ManualClock clock(kStart);
    Event event;
    EXPECT_FALSE(event.waitFor(clock, 4000ms));
    const link::Ticks waited = link::elapsedSince(kStart, clock.ticks());
    EXPECT_GE(waited, 4000u);
    EXPECT_LE(waited, 4010u);

    event.set();
    const link::Ticks before = clock.ticks();
    EXPECT_TRUE(event.waitFor(clock, 4000ms));
    EXPECT_EQ(clock.ticks(), before);
    event.reset();
    EXPECT_FALSE(event.waitFor(clock, 0ms));
}

TEST(DocumentNameTest, TheNameSplitsBackIntoPathAndSerial) {
    const ModelSelection selection{"/home/\u0438\u0432\u0430\u043d/a*b/lum745A.def", 4294967295u};
    const QString name = DocumentName(selection);
    EXPECT_TRUE(name.endsWith("/a*b/lum745A.def*4294967295"));
    EXPECT_EQ(SplitDocumentName(name), selection);
    EXPECT_EQ(SplitDocumentName("x*y*12"), (ModelSelection{"x*y", 12}));
}

TEST(DocumentNameTest, NamesWithoutAValidSerialAreRefused) {
    for (const char* name : {"", "lum.def", "*12", "lum.def*", "lum.def*12*", "lum.def*12a",
                             "lum.def*-1", "lum.def*+1", "lum.def* 1", "lum.def*4294967296"}) {
        EXPECT_FALSE(SplitDocumentName(name).has_value()) << name;
    }
}

// A data set as the model loader leaves it for a 2 x 8 one-bit display, and an
// update holding one screen read for it: one byte per column, lowest bit on top.
class DataSetUpdateTest : public ::testing::Test {
protected:
    static constexpr render::ScreenGeometry kGeometry{2, 8, 0};
    static constexpr std::uint32_t kUntouched = 0x123456u;

    DocumentDataSet dataSet;
    DataSetUpdate update;

    void SetUp() override {
        dataSet.geometry = kGeometry;
        ASSERT_TRUE(render::CreateScreenImage(dataSet.screenImage, kGeometry));
        dataSet.screenImage.SetPixel(0, 0, kUntouched);
        dataSet.colours.colours = {base::ColorRef(0x0000A1u), base::ColorRef(0x00B200u),
                                   base::ColorRef(0xC30000u), base::ColorRef(0xD4D4D4u)};
        update.screenBytes = {0x01, 0x80};
        update.screenGeometry = kGeometry;
        update.freshScreen = true;
    }

    std::uint32_t pixel(int x, int y) const { return dataSet.screenImage.Pixel(x, y); }
    base::Pixel shown(DisplayColors::Index index) const {
        return base::ToPixel(dataSet.colours[index]);
    }
};

TEST_F(DataSetUpdateTest, OnlyThePartsTheMaskNamesAreCopied) {
    DataSetUpdate parts;
    parts.mask = DataSetUpdate::kIdentification;
    parts.identification.storeReply("#1,U758,N5;");
    parts.displayParameters.bitsPerPixel = 4;
    parts.palette = {0xABCDEFu};
    parts.iconState.StatusWord = session::kStatusNewScreen;
    MergeUpdate(parts, dataSet);
    EXPECT_EQ(dataSet.identification.reply, "#1,U758,N5;");
    EXPECT_EQ(dataSet.displayParameters.bitsPerPixel, 1u);
    EXPECT_TRUE(dataSet.palette.empty());
    EXPECT_EQ(dataSet.iconState.StatusWord, 0);

    parts.mask |=
        DataSetUpdate::kDisplayParameters | DataSetUpdate::kPalette | DataSetUpdate::kIconState;
    MergeUpdate(parts, dataSet);
    EXPECT_EQ(dataSet.displayParameters, parts.displayParameters);
    EXPECT_EQ(dataSet.palette, parts.palette);
    EXPECT_EQ(dataSet.iconState, parts.iconState);
    EXPECT_EQ(pixel(0, 0), kUntouched);
}

TEST_F(DataSetUpdateTest, AOneBitScreenIsDrawnInTheColoursOfTheBacklightState) {
    update.mask |= DataSetUpdate::kPalette;
    update.palette = {0x111111u, 0x222222u}; // the instrument's own is not used
    EXPECT_TRUE(MergeUpdate(update, dataSet));
    EXPECT_EQ(pixel(0, 0), shown(DisplayColors::Foreground));
    EXPECT_EQ(pixel(0, 1), shown(DisplayColors::Background));
    EXPECT_EQ(pixel(1, 7), shown(DisplayColors::Foreground));

    update.mask |= DataSetUpdate::kIconState;
    update.iconState.StatusWord = session::kStatusBacklight;
    EXPECT_TRUE(MergeUpdate(update, dataSet)); // the same bytes in other colours
    EXPECT_EQ(pixel(0, 0), shown(DisplayColors::BacklightForeground));
    EXPECT_EQ(pixel(0, 1), shown(DisplayColors::BacklightBackground));
}

TEST_F(DataSetUpdateTest, OnlyWhatChangesThePictureDrawsItAgain) {
    EXPECT_TRUE(MergeUpdate(update, dataSet));
    EXPECT_FALSE(update.freshScreen);
    Frame first;
    ASSERT_TRUE(TakeFrame(dataSet, first));
    EXPECT_EQ(first.screen.Pixel(0, 0), shown(DisplayColors::Foreground));

    update.mask |= DataSetUpdate::kIconState | DataSetUpdate::kDisplayParameters;
    update.iconState.StatusWord = session::kStatusNewScreen; // says nothing about the picture
    EXPECT_FALSE(MergeUpdate(update, dataSet));
    update.iconState.iconWords = {1, 0, 0, 0, 0, 0};
    EXPECT_TRUE(MergeUpdate(update, dataSet));
    update.displayParameters.gamma = 2.2;
    EXPECT_TRUE(MergeUpdate(update, dataSet));
    update.screenBytes = {0x01, 0x80}; // read again, and just as it is shown
    update.freshScreen = true;
    EXPECT_FALSE(MergeUpdate(update, dataSet));
    update.screenBytes = {0x03, 0x80};
    update.freshScreen = true;
    EXPECT_TRUE(MergeUpdate(update, dataSet));
    EXPECT_EQ(pixel(0, 1), shown(DisplayColors::Foreground));
    EXPECT_FALSE(MergeUpdate(update, dataSet));
}

TEST_F(DataSetUpdateTest, BytesReadForAnotherScreenSizeAreNotDrawn) {
    update.screenGeometry = {8, 2, 0}; // the same byte count, another model
    EXPECT_FALSE(MergeUpdate(update, dataSet));
    EXPECT_EQ(pixel(0, 0), kUntouched);
    Frame none;
    EXPECT_FALSE(TakeFrame(dataSet, none));
    EXPECT_FALSE(update.freshScreen);
}

TEST_F(DataSetUpdateTest, NothingIsDrawnBeforeTheScreenImageExists) {
    dataSet.screenImage.Release();
    EXPECT_FALSE(MergeUpdate(update, dataSet));
    EXPECT_TRUE(dataSet.screenImage.IsEmpty());
    Frame none;
    EXPECT_FALSE(TakeFrame(dataSet, none));
}

} // namespace
} // namespace ombrix::document
