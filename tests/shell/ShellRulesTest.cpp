// Rules of the window that need no widget: bars per mode, leaving fullscreen,
// stored modes, monitor placement, the command line, status texts.
#include "app/CommandLine.h"
#include "document/DocumentHost.h"
#include "shell/ModeBars.h"
#include "shell/TextElision.h"
#include "shell/WindowPlacement.h"

#include <QFont>
#include <gtest/gtest.h>

namespace ombrix::shell {
namespace {

TEST(ModeBarsTest, EachModeShowsAndHidesItsBarsAndKeepsTheRest) {
    const BarVisibility all{true, true, true, true, true};
    const BarVisibility none{false, false, false, false, false};
    EXPECT_EQ(BarsForMode(DisplayMode::NormalWithKeyboard, none),
              (BarVisibility{true, true, false, false, false}));
    EXPECT_EQ(BarsForMode(DisplayMode::NormalWithoutKeyboard, all),
              (BarVisibility{true, true, false, true, true}));
    EXPECT_EQ(BarsForMode(DisplayMode::Fullscreen, all),
              (BarVisibility{false, false, true, true, true}));
    EXPECT_EQ(BarsForMode(DisplayMode::Compact, all),
              (BarVisibility{false, true, false, false, false}));
    EXPECT_EQ(BarsForMode(DisplayMode::Compact, none), none);
}

TEST(DisplayModeTest, FullscreenIsLeftForTheModeBeforeUnlessThatWasFullscreen) {
    EXPECT_EQ(ModeAfterFullscreen(DisplayMode::NormalWithKeyboard),
              DisplayMode::NormalWithKeyboard);
    EXPECT_EQ(ModeAfterFullscreen(DisplayMode::Compact), DisplayMode::Compact);
    EXPECT_EQ(ModeAfterFullscreen(DisplayMode::Fullscreen), DisplayMode::NormalWithoutKeyboard);
    EXPECT_EQ(DisplayModeFromSetting(2), DisplayMode::Fullscreen);
    EXPECT_EQ(DisplayModeFromSetting(7), DisplayMode::NormalWithKeyboard);
}

TEST(WindowPlacementTest, ARectangleOffTheMonitorsComesBackAQuarterIntoThePrimary) {
    const std::vector<QRect> monitors{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const base::Rect onSecond{2000, 100, 2600, 700};
    EXPECT_EQ(PlaceOnMonitors(onSecond, monitors, monitors[0]), onSecond);
    // A monitor that was unplugged.
    EXPECT_EQ(PlaceOnMonitors({3400, 100, 3700, 400}, monitors, monitors[0]),
              (base::Rect{480, 270, 780, 570}));
    // The bottom-right corner on the right edge counts as off the monitor.
    EXPECT_FALSE(IsRectOnMonitor({100, 100, 1920, 500}, {monitors[0]}));
    EXPECT_TRUE(IsRectOnMonitor({100, 100, 1919, 1079}, {monitors[0]}));
    EXPECT_EQ(MonitorRectAt(QPoint(-50, 500), monitors), monitors[0]);
    // A damaged size comes back at the default one.
    EXPECT_EQ(PlaceOnMonitors({-2147483647, 0, 2147483647, 10}, monitors, monitors[0]),
              (base::Rect{480, 270, 780, 570}));
    EXPECT_EQ(WindowSizeOf({10, 10, 20, 20}), QSize(300, 300));
    EXPECT_EQ(WindowSizeOf({0, 0, 640, 480}), QSize(640, 480));
}

TEST(CommandLineTest, NoneOneDocumentHelpVersionOrAnError) {
    using Action = app::CommandLine::Action;
    EXPECT_EQ(app::ParseCommandLine({}).action, Action::Run);
    const app::CommandLine document = app::ParseCommandLine({"/m/lum745A.def*10745"});
    EXPECT_EQ(document.action, Action::Run);
    EXPECT_EQ(document.documentName, QString("/m/lum745A.def*10745"));
    EXPECT_EQ(app::ParseCommandLine({"x", "--help"}).action, Action::Help);
    EXPECT_EQ(app::ParseCommandLine({"--version"}).action, Action::Version);
    EXPECT_EQ(app::ParseCommandLine({"a*1", "b*2"}).action, Action::Error);
    EXPECT_EQ(app::ParseCommandLine({"--frobnicate"}).action, Action::Error);
}

TEST(SessionStatusTest, SaysWhatTheSessionDoesInPlainWords) {
    using document::LinkState;
    // The instrument's number is the other pane's.
    EXPECT_EQ(document::SessionStatusText(LinkState::Searching, "", ""),
              "Looking for an instrument");
    EXPECT_EQ(document::SessionStatusText(LinkState::Connected, "lum302plus.def", ""),
              "Connected (lum302plus.def)");
    EXPECT_EQ(document::SessionStatusText(LinkState::Lost, "lum302plus.def", ""),
              "Instrument lost: showing its last screen, waiting for it");
    EXPECT_EQ(
        document::SessionStatusText(LinkState::Connected, "x.def", "/m/x.def has a bad format."),
        "Cannot open the model: /m/x.def has a bad format.");
}

// A status cut to a narrow pane keeps its start and the file name it ends with.
TEST(SessionStatusTest, ATextTooLongKeepsItsFileName) {
    const QFontMetrics metrics{QFont()};
    const QString saved =
        QStringLiteral("Screenshot saved to /home/presenter/Documents/shot0007.tiff");
    EXPECT_EQ(ElideKeepingName(saved, metrics, metrics.horizontalAdvance(saved)), saved);
    const QString cut = ElideKeepingName(saved, metrics, metrics.horizontalAdvance(saved) / 2);
    EXPECT_TRUE(cut.startsWith(QStringLiteral("Scree"))) << cut.toStdString();
    EXPECT_TRUE(cut.endsWith(QStringLiteral("\u2026shot0007.tiff"))) << cut.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(cut), metrics.horizontalAdvance(saved) / 2);
    // No path: cut in the middle, both ends kept.
    const QString status = QStringLiteral("Connected (a-rather-long-model-file-name.def)");
    const QString middle = ElideKeepingName(status, metrics, 80);
    EXPECT_TRUE(middle.contains(QStringLiteral("\u2026"))) << middle.toStdString();
    EXPECT_TRUE(middle.endsWith(QStringLiteral(")")));
}

} // namespace
} // namespace ombrix::shell
