// Rules of the window that need no widget: the commands' states, bars per
// mode, leaving fullscreen, stored modes, monitor placement, the command line,
// where keys go, screenshot settings and texts, status texts.
#include "app/CommandLine.h"
#include "document/DocumentHost.h"
#include "shell/CommandRules.h"
#include "shell/KeyRouting.h"
#include "shell/ModeBars.h"
#include "shell/ScreenshotCommands.h"
#include "shell/TextElision.h"
#include "shell/WindowPlacement.h"

#include <QFont>
#include <gtest/gtest.h>

namespace ombrix::shell {
namespace {

// Each command's state in each mode, from a state where every bar exists and
// is shown, a model is loaded, the zoom is 2 and sharp pixels are on.
TEST(CommandRulesTest, EachCommandFollowsItsRuleInEveryMode) {
    FrameState state;
    state.keyboardBarExists = state.keyboardBarVisible = state.commandsBarVisible = true;
    state.fullscreenBarVisible = state.modelLoaded = state.sharpPixels = true;
    state.screenshotZoom = 2;
    const auto check = [&](CommandId command, bool enabled, bool checkable, bool checked) {
        EXPECT_EQ(RuleFor(command, state), (CommandState{enabled, checkable, checked}))
            << "command " << static_cast<int>(command) << " in mode "
            << static_cast<int>(state.mode);
    };
    const std::pair<DisplayMode, CommandId> modes[] = {
        {DisplayMode::NormalWithKeyboard, CommandId::NormalWithKeyboard},
        {DisplayMode::NormalWithoutKeyboard, CommandId::NormalWithoutKeyboard},
        {DisplayMode::Fullscreen, CommandId::Fullscreen},
        {DisplayMode::Compact, CommandId::Compact}};
    for (const auto& [mode, modeCommand] : modes) {
        state.mode = mode;
        const bool compact = mode == DisplayMode::Compact;
        const bool fullscreen = mode == DisplayMode::Fullscreen;
        for (const auto& [other, otherCommand] : modes) {
            check(otherCommand, true, true, other == mode);
        }
        check(CommandId::FullscreenToolbar, fullscreen, true, true);
        check(CommandId::KeyboardBar, !compact, true, true);
        check(CommandId::CommandsBar, !compact, true, true);
        check(CommandId::StatusBar, !compact && !fullscreen, true, true);
        check(CommandId::MainToolbar, true, true, true);
        check(CommandId::CursorSettings, !compact, false, false);
        check(CommandId::ScreenshotZoom2, true, true, true);
        check(CommandId::ScreenshotZoom3, true, true, false);
        check(CommandId::SharpPixels, true, true, true);
        check(CommandId::AlwaysOnTop, true, true, false);
        for (const CommandId plain :
             {CommandId::ScreenshotSave, CommandId::ScreenshotCopy, CommandId::ScreenshotSettings,
              CommandId::About, CommandId::Instruments, CommandId::ExitFullscreen,
              CommandId::ToggleFullscreen, CommandId::Colors}) {
            check(plain, true, false, false);
        }
    }
    state.modelLoaded = state.keyboardBarExists = false;
    check(CommandId::KeyboardBar, false, true, true); // no bar before a model with one
    check(CommandId::Colors, false, false, false);    // its defaults are a model's
    check(CommandId::ScreenshotRecord, false, true, false);
    state.recording = true;
    check(CommandId::ScreenshotRecord, true, true, true); // a recording can always be stopped
}

TEST(KeyRoutingTest, AKeyPressesTheInstrumentOnceInOurWindowsOutsideTextAndMenus) {
    EXPECT_TRUE(RoutesToInstrument({true, true, false, false}));
    EXPECT_FALSE(RoutesToInstrument({false, true, false, false})) << "passed on to a parent";
    EXPECT_FALSE(RoutesToInstrument({true, false, false, false})) << "a dialog, a menu";
    EXPECT_FALSE(RoutesToInstrument({true, true, true, false})) << "typed into a text field";
    EXPECT_FALSE(RoutesToInstrument({true, true, false, true})) << "the menu bar's Alt keys";
}

TEST(ScreenshotRulesTest, TheDialogKeepsACounterMovedMeanwhileUnlessItWasReset) {
    settings::ScreenshotSettings opened;
    opened.SetCounter(7);
    settings::ScreenshotSettings chosen = opened;
    chosen.SetPrefix(QStringLiteral("demo_"));
    const settings::ScreenshotSettings kept = MergeScreenshotSettings(opened, chosen, 9);
    EXPECT_EQ(kept.Counter(), 9u) << "two screenshots saved while the dialog was open";
    EXPECT_EQ(kept.Prefix(), QStringLiteral("demo_"));
    chosen.SetCounter(0);
    EXPECT_EQ(MergeScreenshotSettings(opened, chosen, 9).Counter(), 0u) << "Reset counter";
}

TEST(ScreenshotRulesTest, TheOutcomeSaysWhereTheFileWentOrWhyNot) {
    screenshot::ScreenshotOutcome outcome;
    outcome.path = QStringLiteral("/shots/img0007.tiff");
    outcome.written = true;
    EXPECT_EQ(ScreenshotOutcomeText(outcome),
              QStringLiteral("Screenshot saved to /shots/img0007.tiff"));
    outcome.written = false;
    outcome.error = QStringLiteral("permission denied");
    EXPECT_EQ(ScreenshotOutcomeText(outcome),
              QStringLiteral("The screenshot could not be saved to /shots/img0007.tiff: "
                             "permission denied."));
    outcome.path.clear();
    EXPECT_EQ(ScreenshotOutcomeText(outcome),
              QStringLiteral("The screenshot was not saved: permission denied."));
}

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
