// The real main window: modes, bars, rules, the Global values and start-up.
#include "MainFrameFixture.h"
#include "shell/CCommandsToolbar.h"
#include "shell/COmbrixView.h"
#include "shell/CStatusBar.h"
#include "shell/CToolBarEx.h"

#include <QAccessible>
#include <QActionGroup>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <gtest/gtest.h>

namespace ombrix::shell {
namespace {

class MainFrameTest : public testing::MainFrameFixture {
protected:
    struct Shown {
        bool statusBar, mainToolbar, fullscreenToolbar, commandsBar;
        friend bool operator==(const Shown&, const Shown&) = default;
    };
    Shown shown() const {
        return {frame().statusBar()->isVisible(), frame().MainToolbar().isVisible(),
                frame().FullscreenToolbar().window()->isVisible(),
                frame().CommandsBar().isVisible()};
    }
};

TEST_F(MainFrameTest, EachModeShowsItsBarsAndSpaceLeavesFullscreenForTheModeBefore) {
    ASSERT_TRUE(start()) << startError.toStdString();
    EXPECT_EQ(shown(), (Shown{true, true, false, true}));
    trigger(CommandId::Fullscreen);
    EXPECT_EQ(shown(), (Shown{false, false, true, true}));
    EXPECT_TRUE(frame().isFullScreen());

    QTest::keyClick(&frame().View(), Qt::Key_Space);
    EXPECT_EQ(mode(), DisplayMode::NormalWithKeyboard);
    EXPECT_EQ(shown(), (Shown{true, true, false, true}));
    QTest::keyClick(&frame().View(), Qt::Key_Space); // only in fullscreen
    EXPECT_EQ(mode(), DisplayMode::NormalWithKeyboard);

    trigger(CommandId::Compact);
    EXPECT_EQ(shown(), (Shown{false, true, false, false}));
    trigger(CommandId::NormalWithoutKeyboard);
    EXPECT_EQ(shown(), (Shown{true, true, false, false})) << "the commands bar stays hidden";

    trigger(CommandId::Fullscreen);
    trigger(CommandId::Fullscreen); // fullscreen before fullscreen
    QTest::keyClick(&frame().View(), Qt::Key_Space);
    EXPECT_EQ(mode(), DisplayMode::NormalWithoutKeyboard);

    // F11 goes to fullscreen and back, as in any viewer.
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    QTest::keyClick(&frame().View(), Qt::Key_F11);
    EXPECT_EQ(mode(), DisplayMode::Fullscreen);
    QTest::keyClick(&frame().View(), Qt::Key_F11);
    EXPECT_EQ(mode(), DisplayMode::NormalWithoutKeyboard);
}

// The serial is said once, in a pane as wide as it; the other pane keeps what
// matters of a long text and has the whole of it as its tool tip and name.
// Where no status bar is shown, a message shows over the view.
TEST_F(MainFrameTest, TheStatusBarSaysEachThingOnceAndWhereItIsHiddenTheViewSaysIt) {
    ASSERT_TRUE(start(colourModel())) << startError.toStdString();
    const CStatusPane& serial = frame().StatusBar().SerialPane();
    const CStatusPane& status = frame().StatusBar().StatusPane();
    EXPECT_EQ(serial.text(), QStringLiteral("#30302"));
    EXPECT_LE(serial.width(), serial.sizeHint().width());
    EXPECT_FALSE(status.text().contains(QStringLiteral("30302"))) << status.text().toStdString();

    const QString saved = QStringLiteral(
        "Screenshot saved to /home/presenter/Documents/Demonstrations/shot0001.tiff");
    frame().statusBar()->showMessage(saved);
    EXPECT_EQ(status.text(), saved);
    EXPECT_EQ(status.toolTip(), saved);
    EXPECT_EQ(status.accessibleName(), saved);
    EXPECT_TRUE(frame().View().Notice().isEmpty()) << "the status bar said it";
    frame().statusBar()->clearMessage();
    EXPECT_EQ(status.text(), application->Document().StatusText());

    trigger(CommandId::Fullscreen);
    frame().statusBar()->showMessage(saved);
    EXPECT_EQ(frame().View().Notice(), saved);
    trigger(CommandId::Compact);
    frame().statusBar()->clearMessage();
    frame().statusBar()->showMessage(saved);
    EXPECT_EQ(QToolTip::text(), saved) << "under the strip, which has no view";
}

// Every action of a command (menu, context menu, toolbar) shows its rule; the
// toolbar's context menu and View > Toolbars agree.
TEST_F(MainFrameTest, EveryActionOfACommandShowsItsRuleAndTheBarsOneVisibility) {
    ASSERT_TRUE(start()) << startError.toStdString();
    trigger(CommandId::Fullscreen);
    for (QAction* each : frame().Commands().Actions(CommandId::Fullscreen)) {
        EXPECT_TRUE(each->isChecked()) << each->objectName().toStdString();
    }
    for (QAction* each : frame().Commands().Actions(CommandId::Compact)) {
        EXPECT_FALSE(each->isChecked()) << each->objectName().toStdString();
    }
    EXPECT_FALSE(action(CommandId::StatusBar).isEnabled());
    for (const QToolButton* button : frame().FullscreenToolbar().findChildren<QToolButton*>()) {
        if (button->defaultAction() != nullptr) {
            EXPECT_GT(button->toolTip().size(), button->text().size()) << "says what it does";
            EXPECT_EQ(button->accessibleName(), button->toolTip());
        }
    }
    trigger(CommandId::NormalWithKeyboard);

    const std::unique_ptr<QMenu> barsMenu(frame().createPopupMenu());
    ASSERT_TRUE(barsMenu->actions().contains(&action(CommandId::MainToolbar)));
    barsMenu->actions().at(barsMenu->actions().indexOf(&action(CommandId::MainToolbar)))->trigger();
    EXPECT_FALSE(frame().MainToolbar().isVisible());
    EXPECT_FALSE(action(CommandId::MainToolbar).isChecked());
    EXPECT_FALSE(frame().MainToolbar().isFloatable());
    EXPECT_FALSE(frame().Bars().mainToolbar);
}

TEST_F(MainFrameTest, F8AsksForAScreenshotInEveryMode) {
    ASSERT_TRUE(start()) << startError.toStdString();
    const QSignalSpy asked(&action(CommandId::ScreenshotSave), &QAction::triggered);
    int modes = 0;
    for (const CommandId modeCommand :
         {CommandId::NormalWithKeyboard, CommandId::NormalWithoutKeyboard, CommandId::Fullscreen,
          CommandId::Compact}) {
        trigger(modeCommand);
        frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
        QTest::keyClick(&frame().View(), Qt::Key_F8);
        EXPECT_EQ(asked.size(), ++modes) << static_cast<int>(modeCommand);
    }
}

TEST_F(MainFrameTest, ClosingWritesTheZoomAndARefreshRateOf150) {
    writeSettings("[Global]\nRefreshRate=40\nScreenshotZoom=2\n");
    ASSERT_TRUE(start()) << startError.toStdString();
    EXPECT_TRUE(action(CommandId::ScreenshotZoom2).isChecked());
    ASSERT_NE(action(CommandId::ScreenshotZoom2).actionGroup(), nullptr);
    EXPECT_TRUE(action(CommandId::ScreenshotZoom2).actionGroup()->isExclusive()) << "radio items";
    trigger(CommandId::ScreenshotZoom3);
    EXPECT_TRUE(action(CommandId::ScreenshotZoom3).isChecked());
    EXPECT_FALSE(action(CommandId::ScreenshotZoom2).isChecked());
    frame().close();
    application->ExitInstance();
    application.reset();

    const QSettings stored(settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("Global/RefreshRate")).toInt(), 150);
    EXPECT_EQ(stored.value(QStringLiteral("Global/ScreenshotZoom")).toInt(), 3);
    EXPECT_EQ(stored.value(QStringLiteral("MainSettings/CommandsToolbar/visible")).toInt(), 1);
}

TEST_F(MainFrameTest, ADocumentThatCannotBeOpenedEndsTheStartWithItsReason) {
    EXPECT_FALSE(start(QStringLiteral("lum745A.def")));
    EXPECT_TRUE(startError.contains(QStringLiteral("lum745A.def"))) << startError.toStdString();
    EXPECT_FALSE(frame().isVisible());
    application.reset();

    const QString missing =
        QString::fromStdString((testing::kPrograms / "Data" / "none.def").string());
    EXPECT_FALSE(start(missing + QStringLiteral("*5")));
    EXPECT_TRUE(startError.contains(QStringLiteral("cannot be read"))) << startError.toStdString();
    EXPECT_FALSE(frame().isVisible());
    application.reset();
}

TEST_F(MainFrameTest, AnOpenedModelIsShownInItsFrontPanelAndNamedInTheTitle) {
    ASSERT_TRUE(start(colourModel())) << startError.toStdString();
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("lum302plus.def - Ombrix"));
    const std::optional<ViewLayout>& layout = frame().View().Layout();
    ASSERT_TRUE(layout.has_value());
    // The window takes the picture's shape: the panel fills the view both ways.
    EXPECT_NEAR(layout->panelSize.height(), frame().View().height(), 1);
    EXPECT_NEAR(layout->panelSize.width(), frame().View().width(), 1);
    trigger(CommandId::NormalWithoutKeyboard);
    ASSERT_TRUE(frame().View().Layout().has_value());
    const QSize screen = frame().View().Layout()->screenSize;
    EXPECT_NEAR(double(screen.width()) / screen.height(), 320.0 / 240.0, 0.01);
}

TEST_F(MainFrameTest, BeforeAnInstrumentIsFoundTheViewSaysWhereItLooks) {
    ASSERT_TRUE(start()) << startError.toStdString();
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Untitled - Ombrix"));
    EXPECT_FALSE(frame().View().Layout().has_value());
    const QImage shown = frame().View().grab().toImage();
    ASSERT_FALSE(shown.isNull());
    int lit = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            lit += qGray(shown.pixel(x, y)) > 128 ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 50) << "the text is drawn";
}

// What a screen reader and a test find: every widget and action of the window
// named, Qt's own parts aside.
TEST_F(MainFrameTest, EveryWidgetAndActionHasAnObjectNameAndAnAccessibleName) {
    ASSERT_TRUE(start(colourModel())) << startError.toStdString(); // with its keyboard bar
    for (QWidget* widget : frame().findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.startsWith(QStringLiteral("qt_")) ||
            widget->parent()->objectName().startsWith(QStringLiteral("qt_"))) {
            continue;
        }
        const auto* menu = qobject_cast<QMenu*>(widget);
        const QList<QAction*> items = menu != nullptr ? menu->actions() : QList<QAction*>();
        if (menu != nullptr && menu->title().isEmpty() &&
            std::all_of(items.begin(), items.end(),
                        [](const QAction* each) { return each->menu() != nullptr; })) {
            continue; // the menu bar's own popup of the menus a narrow window cannot show
        }
        EXPECT_FALSE(name.isEmpty()) << widget->metaObject()->className() << " in "
                                     << widget->parent()->objectName().toStdString();
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr) << name.toStdString();
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << name.toStdString();
    }
    for (QAction* each : frame().findChildren<QAction*>()) {
        if (each->isSeparator() || each->menu() != nullptr) {
            continue;
        }
        EXPECT_TRUE(each->objectName().startsWith(QStringLiteral("action")))
            << each->text().toStdString();
        EXPECT_FALSE(each->text().isEmpty()) << each->objectName().toStdString();
    }
}

} // namespace
} // namespace ombrix::shell
