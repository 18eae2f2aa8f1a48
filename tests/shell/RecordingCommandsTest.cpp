// Screenshot > Record on the real main window against ombrix-sim: the keys
// pressed land in the subtitles and the caption strip at their times, the
// screen is recorded in compact mode too, and closing the window closes the
// file.
#include "shell/RecordingCommands.h"

#include "MainFrameFixture.h"
#include "RecordingDecoder.h"
#include "SimProcess.h"
#include "shell/COmbrixView.h"
#include "shell/CToolBarEx.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTime>
#include <QToolButton>
#include <gtest/gtest.h>

namespace ombrix::shell {
namespace {

using namespace std::chrono_literals;
using ombrix::testing::DecodedRecording;
using ombrix::testing::DecodeRecording;
using ombrix::testing::PictureAt;

constexpr int kPatienceMs = 20'000;
constexpr QSize kFramedColourScreen{328, 248};
constexpr int kStripHeight = 16;

class RecordingCommandsTest : public testing::MainFrameFixture {
protected:
    std::optional<sim::testing::SimProcess> sim;

    QByteArray recordingSettings(int format, bool captions) const {
        return "[MainSettings]\ndisplay_mode=1\n[MainSettings/Screenshot]\nimage_counter=3\n"
               "file_name_prefix=demo\nrecord_format=" +
               QByteArray::number(format) + "\nrecord_captions=" + (captions ? "1" : "0") +
               "\nimage_folder=\"" + scratch.filePath(QStringLiteral("shots")).toUtf8() + "\"\n";
    }
    void startWithInstrument(const QByteArray& settings) {
        sim.emplace(QStringList{"--do", "freeze all on", "colour"},
                    scratch.filePath(QStringLiteral("devices")).toStdString());
        writeSettings(settings);
        ASSERT_TRUE(start()) << startError.toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return application->Document().frame() != nullptr; },
                                    kPatienceMs));
    }
    void typeKey(int qtKey) const {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, qtKey, Qt::NoModifier);
            QApplication::sendEvent(&frame().View(), &event);
        }
    }
    QString shot(const char* name) const {
        return scratch.filePath(QStringLiteral("shots/") + QString::fromLatin1(name));
    }
    QString message() const { return frame().statusBar()->currentMessage(); }
    QLabel& pane() const { return *frame().findChild<QLabel*>(QStringLiteral("recordingPane")); }
};

bool blank(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0x00FFFFFFu) != 0) {
                return false;
            }
        }
    }
    return true;
}

// Recording in compact mode, which otherwise polls nothing: RIGHT switches
// the instrument's quantity, LEFT switches it back.
TEST_F(RecordingCommandsTest, RecordsTheKeysPressedAsSubtitlesAndCaptionsAtTheirTimes) {
    startWithInstrument(recordingSettings(0, true));
    QElapsedTimer clock;
    trigger(CommandId::ScreenshotRecord);
    clock.start();
    EXPECT_TRUE(action(CommandId::ScreenshotRecord).isChecked());
    EXPECT_TRUE(pane().isVisible());
    EXPECT_TRUE(pane().text().contains("REC 0:00")) << pane().text().toStdString();
    EXPECT_TRUE(message().contains(shot("demo0003.webm"))) << message().toStdString();
    trigger(CommandId::Compact);
    QTest::qWait(800);
    const qint64 right = clock.elapsed();
    typeKey(Qt::Key_Right);
    QTest::qWait(2000);
    const qint64 left = clock.elapsed();
    typeKey(Qt::Key_Left);
    QTest::qWait(1000);
    QTest::keyClick(&frame(), Qt::Key_R, Qt::ControlModifier);
    const qint64 stopped = clock.elapsed();
    EXPECT_FALSE(action(CommandId::ScreenshotRecord).isChecked());
    EXPECT_FALSE(pane().isVisible());
    EXPECT_TRUE(message().startsWith("Recording saved to " + shot("demo0003.webm")))
        << message().toStdString();
    EXPECT_EQ(application->Settings().Screenshot().Counter(), 4u);

    QFile subtitles(shot("demo0003.vtt"));
    ASSERT_TRUE(subtitles.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(subtitles.readAll()).split('\n');
    ASSERT_EQ(lines.size(), 8) << lines.join('\n').toStdString();
    EXPECT_EQ(lines[3], "RIGHT");
    EXPECT_EQ(lines[6], "LEFT");
    const auto cue = [&](int line) {
        return std::pair(QTime::fromString(lines[line].left(12), "hh:mm:ss.zzz"),
                         QTime::fromString(lines[line].mid(17, 12), "hh:mm:ss.zzz"));
    };
    EXPECT_NEAR(cue(2).first.msecsSinceStartOfDay(), right, 150);
    EXPECT_EQ(cue(2).first.msecsTo(cue(2).second), 1500);
    EXPECT_NEAR(cue(5).first.msecsSinceStartOfDay(), left, 150);

    const DecodedRecording recording = DecodeRecording(shot("demo0003.webm"));
    ASSERT_TRUE(recording.whole && recording.finalised) << recording.error.toStdString();
    EXPECT_NEAR(static_cast<double>(recording.duration.count()), static_cast<double>(stopped),
                150.0);
    const QSize size = kFramedColourScreen + QSize(0, kStripHeight);
    const auto at = [&](qint64 time) {
        return PictureAt(recording, std::chrono::milliseconds(time));
    };
    ASSERT_EQ(at(0).size(), size);
    const auto screen = [&](qint64 time) { return at(time).copy(0, 0, 328, 248); };
    const auto strip = [&](qint64 time) { return at(time).copy(0, 248, 328, kStripHeight); };
    EXPECT_TRUE(blank(strip(right - 200)));
    EXPECT_FALSE(blank(strip(right + 700)));
    EXPECT_TRUE(blank(strip(right + 1700)));
    EXPECT_NE(screen(right + 700), screen(right - 200)) << "the quantity switched in compact mode";
    EXPECT_EQ(screen(left + 700), screen(right - 200)) << "and back";
}

// A format the settings do not know records nothing; a recording still
// running when the window closes ends with its file closed.
TEST_F(RecordingCommandsTest, ClosingTheWindowClosesTheRecording) {
    startWithInstrument(recordingSettings(7, false));
    trigger(CommandId::ScreenshotRecord);
    EXPECT_FALSE(frame().Recording().Recording());
    EXPECT_EQ(message(), "The recording was not started: recording format 7 is unknown.");

    settings::ScreenshotSettings gif = application->Settings().Screenshot();
    gif.SetRecordFormat(1);
    application->Settings().SetScreenshot(gif);
    frame().MainToolbar().findChild<QToolButton*>("actionScreenshotRecordButton")->click();
    ASSERT_TRUE(frame().Recording().Recording());
    QTest::qWait(700);
    frame().close();
    const DecodedRecording recording = DecodeRecording(shot("demo0003.gif"));
    EXPECT_TRUE(recording.whole && recording.finalised) << recording.error.toStdString();
    ASSERT_FALSE(recording.pictures.empty());
    EXPECT_EQ(recording.pictures.front().image.size(), kFramedColourScreen);
    EXPECT_FALSE(QFile::exists(shot("demo0003.vtt"))) << "subtitles are a WebM's";
}

} // namespace
} // namespace ombrix::shell
