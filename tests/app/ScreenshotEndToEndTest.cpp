// F8 in the running window against ombrix-sim: the screenshot file holds the
// simulator's frozen screen, in the model's colours, inside its frame. In
// fullscreen, where no status bar is, the window says the file was saved over
// the view, and that notice is in no file.
#include "EndToEnd.h"
#include "SimProcess.h"
#include "SimScreen.h"
#include "catalogue/ModelCatalogue.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using ombrix::sim::testing::SimProcess;
using ombrix::testing::eventually;
using ombrix::testing::run;

constexpr int kFrame = 4; // 2 black and 2 white pixels
// The notice's letters are white, in the bottom rows of the view.
constexpr int kNoticeRows = 60;
constexpr int kNoticeLetterPixels = 100;

int whiteNearTheBottom(const QString& window) {
    const QImage shown =
        QGuiApplication::primaryScreen()->grabWindow(window.toULongLong()).toImage();
    int white = 0;
    for (int y = std::max(0, shown.height() - kNoticeRows); y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            white += (shown.pixel(x, y) & RGB_MASK) == 0xFFFFFFu ? 1 : 0;
        }
    }
    return white;
}

// The instrument's screen, framed, and nothing else.
void expectScreenIn(const QImage& file, const ombrix::sim::InstrumentModel& model,
                    const QImage& snapshot) {
    const int panel = model.bitsPerPixel == 1 ? model.iconPanelHeight : 0;
    ASSERT_EQ(file.size(), QSize(model.width + 2 * kFrame, model.height + panel + 2 * kFrame));
    EXPECT_EQ(file.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(file.pixel(3, 3), qRgb(255, 255, 255));
    int wrong = 0;
    for (int y = 0; y < model.height; ++y) {
        for (int x = 0; x < model.width; ++x) {
            const QRgb shown = file.pixel(kFrame + x, kFrame + panel + y) & RGB_MASK;
            wrong += shown != ombrix::testing::ExpectedScreenPixel(model, snapshot, x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0);
    if (panel > 0) {
        const QImage icons = file.copy(kFrame, kFrame, model.width, panel);
        int inked = 0;
        for (int y = 0; y < icons.height(); ++y) {
            for (int x = 0; x < icons.width(); ++x) {
                inked += (icons.pixel(x, y) & RGB_MASK) != (file.pixel(kFrame, kFrame) & RGB_MASK);
            }
        }
        EXPECT_GT(inked, 0) << "the icons the simulator lights are in the panel rows";
    }
}

class ScreenshotEndToEnd : public ::testing::TestWithParam<const char*> {
protected:
    QTemporaryDir scratch;

    QByteArray settings() const {
        return "[MainSettings]\ndisplay_mode=1\n"
               "[MainSettings/MainFrame]\nregular_window_rect=\"0,0,500,500\"\n"
               "[MainSettings/CommandsToolbar]\nvisible=0\n"
               "[MainSettings/Screenshot]\nimage_format=2\nfile_name_prefix=\"shot\"\n"
               "image_counter=0\nimage_folder=\"" +
               scratch.filePath(QStringLiteral("shots")).toUtf8() + "\"\n";
    }
    QString shot(int counter) const {
        return scratch.filePath(
            QStringLiteral("shots/shot%1.png").arg(counter, 4, 10, QChar(u'0')));
    }
};

TEST_P(ScreenshotEndToEnd, F8WritesTheInstrumentsScreenInItsFrame) {
    const ombrix::sim::InstrumentModel& model = *ombrix::sim::findModel(GetParam());
    const QString snapshotPath = scratch.filePath(QStringLiteral("snapshot.png"));
    QStringList arguments{"--do", "freeze all on", GetParam()};
    if (model.bitsPerPixel == 1) { // the expected colours are those with the backlight off
        arguments << "--do"
                  << "key 1 " + QString::number(model.keys.backlight);
    }
    SimProcess sim(arguments << "--do"
                             << "snapshot 1 " + snapshotPath);
    ombrix::testing::OmbrixProcess program(sim.deviceDirectory(), settings());
    ASSERT_TRUE(program.started());
    const QString window = program.waitForModel();
    ASSERT_FALSE(window.isEmpty()) << "no model was loaded";

    for (const int counter : {0, 1}) {
        run(QStringLiteral("xdotool"), {"windowfocus", window});
        run(QStringLiteral("xdotool"), {"key", "F8"});
        ASSERT_TRUE(eventually([&] { return !QImage(shot(counter)).isNull(); }))
            << "no " << shot(counter).toStdString();
    }
    run(QStringLiteral("xdotool"), {"key", "F11"});
    ASSERT_TRUE(eventually([&] {
        return ombrix::testing::WindowGeometry(window).size() == QSize(1280, 1024);
    })) << "F11 did not go to fullscreen";
    QThread::msleep(500);
    const int before = whiteNearTheBottom(window);
    run(QStringLiteral("xdotool"), {"key", "F8"});
    ASSERT_TRUE(eventually([&] { return !QImage(shot(2)).isNull(); }));
    EXPECT_TRUE(eventually([&] {
        return whiteNearTheBottom(window) > before + kNoticeLetterPixels;
    })) << "nothing said the file was saved";

    const QImage snapshot(snapshotPath);
    ASSERT_EQ(snapshot.width(), model.width);
    for (const int counter : {0, 2}) {
        SCOPED_TRACE(counter);
        expectScreenIn(QImage(shot(counter)), model, snapshot);
    }
}

INSTANTIATE_TEST_SUITE_P(Models, ScreenshotEndToEnd, ::testing::Values("mono", "colour"));
} // namespace
