// The timeline alone, its pictures caught by the test: what is shown when,
// and what is not written because it shows nothing new.
#include "recording/RecordingTimeline.h"

#include "RecordingFrames.h"

#include <gtest/gtest.h>

namespace ombrix::recording {
namespace {

using namespace std::chrono_literals;
using testing::ColourFrame;
using testing::MonoFrame;

struct Written {
    render::CLumImage picture;
    std::chrono::milliseconds time;
};

class RecordingTimelineTest : public ::testing::Test {
protected:
    std::vector<Written> written;

    RecordingTimeline timeline(const RecordingLook& look, std::chrono::milliseconds gap = 1ms) {
        const auto frame = MonoFrame(0, 1);
        return RecordingTimeline(
            {look, PictureSize(*frame, look),
             CaptionStrip(kLostText, PictureSize(*frame, look).width(), look.zoom), gap},
            [this](const render::CLumImage& picture, std::chrono::milliseconds time) {
                written.push_back({picture, time});
                return true;
            });
    }

    std::vector<std::chrono::milliseconds> times() const {
        std::vector<std::chrono::milliseconds> all;
        for (const Written& w : written) {
            all.push_back(w.time);
        }
        return all;
    }

    // Whether the caption strip of the picture written at `index` holds text.
    bool captioned(std::size_t index, const RecordingLook& look) const {
        const render::CLumImage& picture = written.at(index).picture;
        const int top = picture.Height() - kCaptionStripHeight * look.zoom;
        for (int y = top; y < picture.Height(); ++y) {
            for (int x = 0; x < picture.Width(); ++x) {
                if (picture.Pixel(x, y) != 0) {
                    return true;
                }
            }
        }
        return false;
    }
};

// The blink phase of a screen without blinking icons and a frame that shows
// nothing new cost nothing; a picture sooner than the gap after the one
// before takes its place from that one's time.
TEST_F(RecordingTimelineTest, WritesOnlyWhatChangesAndJoinsPicturesWithinTheGap) {
    const RecordingLook look{};
    RecordingTimeline recording = timeline(look, 30ms);
    const auto still = ColourFrame(0, 5);
    RecordingTimeline colour(
        {look, PictureSize(*still, look), {}, 30ms},
        [this](const render::CLumImage& picture, std::chrono::milliseconds time) {
            written.push_back({picture, time});
            return true;
        });
    ASSERT_TRUE(colour.Frame(still, 0ms));
    ASSERT_TRUE(colour.Blink(true, 500ms));
    ASSERT_TRUE(colour.Blink(false, 1000ms));
    ASSERT_TRUE(colour.Frame(still, 1500ms));
    ASSERT_TRUE(colour.Finish(2000ms));
    EXPECT_EQ(times(), (std::vector{0ms}));

    written.clear();
    ASSERT_TRUE(recording.Frame(MonoFrame(0, 1), 0ms));
    ASSERT_TRUE(recording.Blink(true, 500ms));
    ASSERT_TRUE(recording.Frame(MonoFrame(1, 2), 510ms));
    ASSERT_TRUE(recording.Blink(false, 1000ms));
    ASSERT_TRUE(recording.Finish(1200ms));
    ASSERT_EQ(times(), (std::vector{0ms, 500ms, 1000ms}));
    EXPECT_EQ(written[1].picture, ComposePicture(*MonoFrame(1, 2), true, look, {}));
}

// Each entry's caption shows from its press for 1.5 s, also when nothing else
// happens then; while the instrument is lost the strip says so. The
// subtitles hold the entries and the lost time, cut at the end.
TEST_F(RecordingTimelineTest, CaptionsAndSubtitlesFollowTheEntriesAndTheLostInstrument) {
    const RecordingLook look{false, 2, true};
    RecordingTimeline recording = timeline(look);
    ASSERT_TRUE(recording.Frame(MonoFrame(0, 1), 0ms));
    const int width = PictureSize(*MonoFrame(0, 1), look).width();
    ASSERT_TRUE(recording.Entry(QStringLiteral("MENU"), CaptionStrip("MENU", width, 2), 1000ms));
    ASSERT_TRUE(recording.Lost(true, 4000ms));
    ASSERT_TRUE(recording.Entry(QStringLiteral("ENTER"), CaptionStrip("ENTER", width, 2), 5000ms));
    ASSERT_TRUE(recording.Lost(false, 7000ms));
    ASSERT_TRUE(recording.Entry(QStringLiteral("ESC"), CaptionStrip("ESC", width, 2), 8000ms));
    ASSERT_TRUE(recording.Finish(8500ms));
    ASSERT_EQ(times(), (std::vector{0ms, 1000ms, 2500ms, 4000ms, 5000ms, 6500ms, 7000ms, 8000ms}));
    const bool expected[] = {false, true, false, true, true, true, false, true};
    for (std::size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(captioned(i, look), expected[i]) << i;
    }
    EXPECT_EQ(written[3].picture, written[5].picture) << "the lost strip";
    EXPECT_NE(written[3].picture, written[4].picture) << "the lost strip is not the entry's";
    EXPECT_EQ(recording.Cues(), (std::vector<SubtitleCue>{{1000ms, 2500ms, "MENU"},
                                                          {5000ms, 6500ms, "ENTER"},
                                                          {4000ms, 7000ms, kLostText},
                                                          {8000ms, 8500ms, "ESC"}}));
}

} // namespace
} // namespace ombrix::recording
