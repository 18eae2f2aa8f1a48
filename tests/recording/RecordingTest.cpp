// Recordings written by the recording thread and read back through FFmpeg's
// decoders: every picture at its time, exactly (GIF: within its palette for a
// screen of more colours than it holds), a container that is closed, and the
// files named as screenshots are.
#include "RecordingDecoder.h"
#include "RecordingFrames.h"
#include "recording/Recorder.h"
#include "recording/RecordingNames.h"
#include "recording/SubtitleCues.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ombrix::recording {
namespace {

using namespace std::chrono_literals;
using ombrix::testing::DecodedRecording;
using ombrix::testing::DecodeRecording;
using ombrix::testing::PictureAt;
using testing::ColourFrame;
using testing::MonoFrame;

// The largest channel difference between two pictures of one size; 256 for
// pictures of different sizes.
int largestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return 256;
    }
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

QImage composed(const std::shared_ptr<const document::Frame>& frame, bool blink,
                const RecordingLook& look) {
    return ComposePicture(*frame, blink, look, {}).AsQImage().copy();
}

struct Scene {
    const char* name;
    RecordingFormat format;
    bool colour;        // the screen of many colours, else the one-bit screen
    int allowedChannel; // how far a decoded channel may be from the picture
};

class RecordedScene : public ::testing::TestWithParam<Scene> {};

// Frames at 0 and 1.2 s, the blink phase turned at 0.5 and 1.5 s (it shows
// only on the one-bit screen, whose blink panel lights an icon), stopped at
// 2.5 s. Each picture must be on show in the middle of its time.
TEST_P(RecordedScene, GivesBackEveryPictureAtItsTimeInAClosedFile) {
    const Scene scene = GetParam();
    QTemporaryDir scratch;
    const RecordingLook look{true, 2, false};
    const auto first = scene.colour ? ColourFrame(0, 1) : MonoFrame(0, 1);
    const auto second = scene.colour ? ColourFrame(3, 2) : MonoFrame(7, 2);
    RecordingRequest request{scratch.filePath("rec"), {}, scene.format, look, first, false, {}};
    QString error;
    const std::unique_ptr<Recorder> recorder = Recorder::Start(request, error);
    ASSERT_TRUE(recorder) << error.toStdString();
    EXPECT_EQ(recorder->PictureSize(), PictureSize(*first, look));
    recorder->Blink(true, 500ms);
    recorder->Frame(second, 1200ms);
    recorder->Blink(false, 1500ms);
    const RecordingOutcome outcome = recorder->Stop(2500ms);
    EXPECT_TRUE(outcome.playable) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.error.isEmpty()) << outcome.error.toStdString();
    EXPECT_EQ(outcome.bytes, QFile(request.path).size());

    const DecodedRecording decoded = DecodeRecording(request.path);
    ASSERT_TRUE(decoded.whole) << decoded.error.toStdString();
    EXPECT_TRUE(decoded.finalised);
    EXPECT_NEAR(static_cast<double>(decoded.duration.count()), 2500.0, 40.0);
    const std::pair<std::chrono::milliseconds, QImage> expected[] = {
        {250ms, composed(first, false, look)},
        {850ms, composed(first, true, look)},
        {1350ms, composed(second, true, look)},
        {2000ms, composed(second, false, look)},
    };
    for (const auto& [time, picture] : expected) {
        SCOPED_TRACE(time.count());
        EXPECT_LE(largestDifference(PictureAt(decoded, time), picture), scene.allowedChannel);
    }
    if (scene.colour) {
        EXPECT_LE(decoded.pictures.size(), 3u) << "the blink phase changes no colour screen";
    }
}

// GIF's 256 fixed colours are 8 levels of red and green and 4 of blue.
INSTANTIATE_TEST_SUITE_P(
    Formats, RecordedScene,
    ::testing::Values(Scene{"WebmOneBit", kRecordingFormats[RecordingFormat::WebM], false, 0},
                      Scene{"WebmColour", kRecordingFormats[RecordingFormat::WebM], true, 0},
                      Scene{"PngColour", kRecordingFormats[RecordingFormat::Png], true, 0},
                      Scene{"GifOneBit", kRecordingFormats[RecordingFormat::Gif], false, 0},
                      Scene{"GifColour", kRecordingFormats[RecordingFormat::Gif], true, 43}),
    [](const auto& info) { return std::string(info.param.name); });

// A frame of another size (another instrument) cannot go on in the same
// file: the timeline refuses it, and the recording ends by itself with a file
// that plays, and says why.
TEST(RecorderTest, EndsByItselfOnAScreenOfAnotherSize) {
    QTemporaryDir scratch;
    RecordingRequest request{scratch.filePath("rec.webm"),
                             scratch.filePath("rec.vtt"),
                             kRecordingFormats[RecordingFormat::WebM],
                             {},
                             MonoFrame(0, 1),
                             false,
                             {}};
    QString error;
    const std::unique_ptr<Recorder> recorder = Recorder::Start(request, error);
    ASSERT_TRUE(recorder) << error.toStdString();
    recorder->Entry(QStringLiteral("MENU"), {}, 300ms);
    recorder->Frame(ColourFrame(0, 2), 700ms);
    for (int wait = 0; wait < 500 && !recorder->Ended(); ++wait) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(recorder->Ended());
    recorder->Frame(MonoFrame(1, 3), 900ms);
    const RecordingOutcome outcome = recorder->Stop(1000ms);
    EXPECT_TRUE(outcome.playable);
    EXPECT_TRUE(outcome.error.contains("size")) << outcome.error.toStdString();
    EXPECT_EQ(outcome.duration, 700ms);
    const DecodedRecording decoded = DecodeRecording(request.path);
    EXPECT_TRUE(decoded.whole && decoded.finalised) << decoded.error.toStdString();
    QFile subtitles(outcome.subtitlesPath);
    ASSERT_TRUE(subtitles.open(QIODevice::ReadOnly));
    EXPECT_EQ(subtitles.readAll(), "WEBVTT\n\n00:00:00.300 --> 00:00:00.700\nMENU\n");
}

TEST(RecorderTest, RefusesToStartWithoutAScreenOrWhereNoFileCanBeWritten) {
    QTemporaryDir scratch;
    QString error;
    RecordingRequest request{scratch.filePath("rec.gif"),
                             {},
                             kRecordingFormats[RecordingFormat::Gif],
                             {},
                             nullptr,
                             false,
                             {}};
    EXPECT_FALSE(Recorder::Start(request, error));
    EXPECT_TRUE(error.contains("no instrument screen")) << error.toStdString();
    request.firstFrame = MonoFrame(0, 1);
    request.path = scratch.filePath("missing/rec.gif");
    EXPECT_FALSE(Recorder::Start(request, error));
    EXPECT_TRUE(error.contains("cannot open")) << error.toStdString();
}

TEST(SubtitleCuesTest, WebVttListsTheCuesByTheirStartWithTheirTextEscaped) {
    const std::vector<SubtitleCue> cues = {
        {3'723'004ms, 3'724'504ms, QStringLiteral("UP + DOWN")},
        {1'000ms, 5'000ms, QStringLiteral("Instrument lost")},
        {1'500ms, 3'000ms, QStringLiteral("<A> & B\nC")},
    };
    EXPECT_EQ(WebVttText(cues),
              QStringLiteral("WEBVTT\n"
                             "\n00:00:01.000 --> 00:00:05.000\nInstrument lost\n"
                             "\n00:00:01.500 --> 00:00:03.000\n&lt;A&gt; &amp; B C\n"
                             "\n01:02:03.004 --> 01:02:04.504\nUP + DOWN\n"));
}

// A number whose video or subtitles exist is passed over, whatever made them.
TEST(RecordingNamesTest, TakeTheFirstNumberFreeForBothFilesInAFolderMadeForThem) {
    QTemporaryDir scratch;
    settings::ScreenshotSettings settings;
    settings.SetFolder(scratch.filePath("shots"));
    settings.SetPrefix(QStringLiteral("demo"));
    settings.SetCounter(7);
    const RecordingFormat webm = kRecordingFormats[RecordingFormat::WebM];
    QString error;
    const std::optional<RecordingNames> first = ReserveRecordingNames(settings, webm, error);
    ASSERT_TRUE(first) << error.toStdString();
    EXPECT_EQ(first->video, scratch.filePath("shots/demo0007.webm"));
    EXPECT_EQ(first->subtitles, scratch.filePath("shots/demo0007.vtt"));
    EXPECT_TRUE(QFile::exists(first->subtitles));
    QFile(scratch.filePath("shots/demo0008.vtt")).open(QIODevice::WriteOnly);
    const std::optional<RecordingNames> second = ReserveRecordingNames(settings, webm, error);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->video, scratch.filePath("shots/demo0009.webm"));
    EXPECT_EQ(second->nextCounter, 10u);
    EXPECT_FALSE(QFile::exists(scratch.filePath("shots/demo0008.webm")));
    const std::optional<RecordingNames> gif =
        ReserveRecordingNames(settings, kRecordingFormats[RecordingFormat::Gif], error);
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->video, scratch.filePath("shots/demo0007.gif"));
    EXPECT_TRUE(gif->subtitles.isEmpty());
}

} // namespace
} // namespace ombrix::recording
