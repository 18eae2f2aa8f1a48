// The real main window's geometry on two monitors (the offscreen platform's
// screens): the rectangle of each mode, fullscreen on the monitor under the
// mouse, what is remembered, and a stored rectangle off every monitor.
#include "MainFrameFixture.h"
#include "shell/CCommandsToolbar.h"
#include "shell/CKeyboardToolbar.h"
#include "shell/COmbrixView.h"
#include "shell/CToolBarEx.h"
#include "shell/FloatingBars.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

namespace ombrix::shell {
namespace {

const QByteArray kRegular = "[MainSettings/MainFrame]\nregular_window_rect=\"100,100,700,900\"\n"
                            "compact_window_width=230\n"
                            "[MainSettings/CommandsToolbar]\nvisible=0\n";

class FrameGeometryTest : public testing::MainFrameFixture {
protected:
    QRect window() const {
        QCoreApplication::processEvents(); // the layout follows the window's size
        return frame().frameGeometry();
    }
    // The view without the caption band under the screen.
    QRect view() const {
        QCoreApplication::processEvents();
        const COmbrixView& view = frame().View();
        return QRect(view.mapToGlobal(QPoint(0, 0)), view.ContentSize());
    }
    base::Rect storedRect() const {
        const QStringList parts =
            QSettings(settingsFile(), QSettings::IniFormat)
                .value(QStringLiteral("MainSettings/MainFrame/regular_window_rect"))
                .toString()
                .split(u',');
        return {parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt()};
    }
    void exit() {
        frame().close();
        application->ExitInstance();
        application.reset();
    }
};

TEST_F(FrameGeometryTest, EachModeHasItsWindowRectangle) {
    writeSettings(kRegular);
    ASSERT_TRUE(start(colourModel())) << startError.toStdString();
    // The normal modes keep the remembered top-left and height; the view takes
    // the picture's or the screen's shape.
    const render::CLumImage& picture = application->Document().PanelPicture();
    const double panel = double(picture.Width()) / picture.Height();
    EXPECT_EQ(window().topLeft(), QPoint(100, 100));
    EXPECT_EQ(window().height(), 800);
    EXPECT_NEAR(view().width(), view().height() * panel, 1.0);

    trigger(CommandId::NormalWithoutKeyboard);
    EXPECT_EQ(window().topLeft(), QPoint(100, 100));
    EXPECT_EQ(window().height(), 800);
    EXPECT_NEAR(view().width(), view().height() * 320.0 / 240.0, 1.0);

    trigger(CommandId::Compact);
    EXPECT_EQ(window().topLeft(), QPoint(100, 100));
    EXPECT_EQ(window().width(), 230) << "the remembered compact width";
    EXPECT_LE(frame().height(), frame().menuBar()->height() + frame().MainToolbar().height() + 2)
        << "a strip of menu bar and toolbar, no view";
    EXPECT_EQ(frame().minimumHeight(), frame().maximumHeight()) << "a fixed height";

    trigger(CommandId::NormalWithKeyboard);
    EXPECT_EQ(window().topLeft(), QPoint(100, 100));
    EXPECT_EQ(window().height(), 800) << "the remembered rectangle comes back";
    EXPECT_LT(frame().minimumHeight(), frame().maximumHeight()) << "the strip's limits are gone";
}

// A window resized by hand is put in shape once it rests: the side that moved
// stays, the other follows; and the result is remembered.
TEST_F(FrameGeometryTest, AResizedWindowKeepsTheViewsShapeAndIsRemembered) {
    writeSettings(kRegular);
    ASSERT_TRUE(start(colourModel())) << startError.toStdString();
    trigger(CommandId::NormalWithoutKeyboard);
    const QRect before = window();
    frame().resize(frame().width() - 120, frame().height()); // the right border, dragged in
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().height() != before.height(); }, 2000));
    EXPECT_EQ(window().width(), before.width() - 120);
    EXPECT_NEAR(view().width(), view().height() * 320.0 / 240.0, 1.0);
    QTest::qWait(400); // no second correction
    EXPECT_EQ(window().width(), before.width() - 120);
    exit();
    EXPECT_EQ(storedRect().right - storedRect().left, before.width() - 120);
}

TEST_F(FrameGeometryTest, WithoutAModelTheViewIsSquare) {
    writeSettings(kRegular);
    ASSERT_TRUE(start()) << startError.toStdString();
    EXPECT_EQ(window().height(), 800);
    EXPECT_NEAR(view().width(), view().height(), 1.0);
}

TEST_F(FrameGeometryTest, FullscreenCoversTheMonitorUnderTheMouseAndIsNotRemembered) {
    writeSettings(kRegular);
    ASSERT_TRUE(start(colourModel())) << startError.toStdString();
    const QRect second = QGuiApplication::screens().at(1)->geometry();
    QCursor::setPos(second.center());
    const QRect normal = window();
    trigger(CommandId::Fullscreen);
    QCoreApplication::processEvents();
    EXPECT_EQ(QRect(frame().View().mapToGlobal(QPoint(0, 0)), frame().View().size()), second);
    frame().move(second.topLeft() + QPoint(50, 50)); // moved while in fullscreen

    exit();
    EXPECT_EQ(storedRect(), (base::Rect{normal.left(), normal.top(), normal.left() + normal.width(),
                                        normal.top() + normal.height()}));
}

TEST_F(FrameGeometryTest, AMaximisedWindowIsNotRemembered) {
    writeSettings(kRegular);
    ASSERT_TRUE(start(colourModel())) << startError.toStdString();
    const QRect before = window();
    frame().showMaximized();
    ASSERT_NE(window(), before);
    exit();
    EXPECT_EQ(storedRect(), (base::Rect{before.left(), before.top(), before.left() + before.width(),
                                        before.top() + before.height()}));
}

// No stored rectangle: the front panel at its own size, centred on the
// primary monitor together with the commands bar beside it; the rectangle is
// stored then, and the next start takes it as it is.
TEST_F(FrameGeometryTest, AFirstStartShowsTheFrontPanelAtItsOwnSizeWithItsBarBeside) {
    ASSERT_TRUE(start(colourModel())) << startError.toStdString();
    const render::CLumImage& picture = application->Document().PanelPicture();
    EXPECT_EQ(view().size(), QSize(picture.Width(), picture.Height()));
    const QRect bar = frame().CommandsBar().frameGeometry();
    EXPECT_TRUE(frame().CommandsBar().isVisible());
    EXPECT_FALSE(bar.intersects(window()));
    EXPECT_EQ(bar.left(), window().right() + 1);
    const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window().left() - primary.left(), primary.right() - bar.right());
    const QRect first = window();

    exit();
    ASSERT_TRUE(start(colourModel())) << startError.toStdString();
    EXPECT_TRUE(application->Settings().MainFrame().HasWindowRect());
    EXPECT_EQ(window(), first);
}

// The legacy screen is almost four times as wide as high: from the remembered
// height its window would reach past the monitor.
TEST_F(FrameGeometryTest, EveryModesWindowStaysInsideTheWorkArea) {
    writeSettings("[MainSettings]\ndisplay_mode=1\n"
                  "[MainSettings/MainFrame]\nregular_window_rect=\"200,200,500,900\"\n");
    ASSERT_TRUE(start(QString::fromStdString((testing::kPrograms / "lum74x.def").string()) +
                      QStringLiteral("*40741")))
        << startError.toStdString();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (const CommandId mode :
         {CommandId::NormalWithoutKeyboard, CommandId::Compact, CommandId::NormalWithKeyboard}) {
        trigger(mode);
        EXPECT_TRUE(area.contains(window())) << static_cast<int>(mode);
    }
    trigger(CommandId::NormalWithoutKeyboard);
    EXPECT_NEAR(view().width(), view().height() * 122.0 / 32.0, 1.0) << "its shape kept";
}

// Fullscreen with every bar shown: the view leaves them the bottom and right
// edges, and none covers the screen or its caption.
TEST_F(FrameGeometryTest, InFullscreenNoBarCoversTheScreen) {
    writeSettings("[MainSettings/MainFrame]\nkeyboard_toolbar_visible=1\n");
    ASSERT_TRUE(start(colourModel())) << startError.toStdString();
    QCursor::setPos(QGuiApplication::primaryScreen()->geometry().center());
    trigger(CommandId::Fullscreen);
    const COmbrixView& shown = frame().View();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return frame().FullscreenToolbar().window()->isVisible() ||
                   frame().FloatingBarPlaces().FullscreenToolbarHidesAtTop();
        },
        2000));
    const QRect screen = shown.ScreenRect().united(shown.CaptionRect());
    const QRect covered(shown.mapToGlobal(screen.topLeft()), screen.size());
    const std::vector<const QWidget*> bars{&frame().KeyboardBar(), &frame().CommandsBar(),
                                           frame().FullscreenToolbar().window()};
    for (const QWidget* bar : bars) {
        if (bar->isVisible()) {
            EXPECT_FALSE(bar->frameGeometry().intersects(covered))
                << bar->objectName().toStdString();
        }
    }
    EXPECT_TRUE(frame().KeyboardBar().isVisible());
    EXPECT_TRUE(frame().CommandsBar().isVisible());
}

TEST_F(FrameGeometryTest, ARectangleOffEveryMonitorStartsOnThePrimaryOne) {
    writeSettings("[MainSettings/MainFrame]\nregular_window_rect=\"5000,5000,5400,5600\"\n");
    ASSERT_TRUE(start(colourModel())) << startError.toStdString();
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window().topLeft(),
              primary.topLeft() + QPoint(primary.width() / 4, primary.height() / 4));
    EXPECT_EQ(window().height(), 600);
}

} // namespace
} // namespace ombrix::shell
