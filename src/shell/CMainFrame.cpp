#include "shell/CMainFrame.h"

#include "screenshot/ComposeScreenshot.h"
#include "shell/Artwork.h"
#include "shell/CAboutDlg.h"
#include "shell/CCommandsToolbar.h"
#include "shell/CCursorSettingsDlg.h"
#include "shell/CInstrumentsDlg.h"
#include "shell/CKeyboardToolbar.h"
#include "shell/COmbrixView.h"
#include "shell/CScreenshotSettingsDlg.h"
#include "shell/CSetupDialog.h"
#include "shell/CStatusBar.h"
#include "shell/CToolBarEx.h"
#include "shell/FloatingBars.h"
#include "shell/FrameGeometry.h"
#include "shell/HistoryPlayback.h"
#include "shell/KeyRouting.h"
#include "shell/RecordingCommands.h"
#include "shell/ScreenColors.h"
#include "shell/WindowPlacement.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSizeGrip>
#include <QToolButton>
#include <QToolTip>
#include <QWindow>
#include <array>
#include <stdexcept>

namespace ombrix::shell {

namespace {

using document::DocumentTimer;

constexpr QSize kMainToolbarImage{24, 24};
constexpr QSize kFullscreenToolbarImage{16, 15};
// How long a status-bar message about something done or failed stays.
constexpr int kMessageMs = 10'000;
// How long a word about a single key stays.
constexpr int kBriefMessageMs = 3'000;
// Where the compact strip has no room, a message shows under it this long.
constexpr int kStripNoticeMs = 4'000;
constexpr QRgb kNoMask = 0; // the strips are 32-bit: their alpha is the mask
constexpr std::array<CommandId, 4> kZoomCommands = {
    CommandId::ScreenshotZoom1, CommandId::ScreenshotZoom2, CommandId::ScreenshotZoom3,
    CommandId::ScreenshotZoom4};

// Menus are named for tests and read out by their titles.
void nameMenu(QMenu* menu, const QString& objectName) {
    menu->setObjectName(objectName);
    menu->setAccessibleName(menu->title().remove(u'&'));
}

// A toolbar's strip at 1x and 2x; throws when the artwork cannot be drawn.
void loadImages(CToolBarEx& toolbar, const QStringList& names, QSize imageSize) {
    const QImage strip = RenderToolbarStrip(names, imageSize, 1);
    const QImage strip2x = RenderToolbarStrip(names, imageSize, 2);
    if (!toolbar.SetImages(imageSize.width(), strip, kNoMask, strip2x)) {
        throw std::runtime_error("the toolbar images of " + toolbar.windowTitle().toStdString() +
                                 " cannot be made");
    }
}

} // namespace

QString FrameTitle(const QString& documentTitle) {
    return documentTitle + QStringLiteral(" - Ombrix");
}

CMainFrame::CMainFrame(ApplicationServices& application, document::DocumentHost& document)
    : application_(application), document_(document), commands_(this) {
    setObjectName(QStringLiteral("mainFrame"));
    setAccessibleName(QStringLiteral("Ombrix"));
    view_ = new COmbrixView(document_, application_.Settings(), this);
    view_->setFocusPolicy(Qt::StrongFocus);
    setCentralWidget(view_);
    // The status bar first: the commands add their panes to it.
    createStatusBar();
    createActions();
    createMenus();
    createContextMenu();
    createToolbars();
    commandsBar_ = new CCommandsToolbar(this, application_);
    bars_.commandsBar = application_.Settings().CommandsToolbar().Visible();
    keyboardBar_ = new CKeyboardToolbar(this);
    bars_.keyboardBar = application_.Settings().MainFrame().KeyboardToolbarVisible();
    connectActions();
    connectDocument();
    geometry_ = std::make_unique<FrameGeometry>(FrameGeometry::Parts{
        *this, *view_, *mainToolbar_, application_.Settings(), [this] { return CurrentMode(); },
        [this] { return document_.AspectSource(); }, [this] { return barsRoom(); }});
    colors_ = std::make_unique<ScreenColors>(document_, application_);
    playback_ = std::make_unique<HistoryPlayback>(
        *view_, document_, *statusBar(), application_.Settings(),
        [this](bool playing) { commandsBar_->SetPlayingBack(playing); });
    keyRouting_ = std::make_unique<KeyRouting>(KeyRouting::Parts{
        *view_, *playback_, [this](const QWindow* window) { return isOwnWindow(window); },
        [this] { ExitFullscreen(); }});
    floatingBars_ = std::make_unique<FloatingBars>(
        FloatingBars::Parts{*this, *view_, *fullscreenBar_, *keyboardBar_, *commandsBar_,
                            application_.Settings(), [this] { return CurrentMode(); }});
    updateTitle();
    applyBars();
}

// The key routing goes first: the children destroyed after the members still
// have events for its filter.
CMainFrame::~CMainFrame() {
    keyRouting_.reset();
}

void CMainFrame::createActions() {
    commands_.Add(CommandId::MainToolbar, tr("&Main"), QStringLiteral("MainToolbar"));
    commands_.Add(CommandId::KeyboardBar, tr("&Keyboard"), QStringLiteral("KeyboardBar"));
    commands_.Add(CommandId::CommandsBar, tr("C&ommands"), QStringLiteral("CommandsBar"));
    commands_.Add(CommandId::StatusBar, tr("&Status Bar"), QStringLiteral("StatusBar"));
    commands_
        .Add(CommandId::NormalWithKeyboard, tr("With keyboard"),
             QStringLiteral("NormalWithKeyboard"))
        ->setStatusTip(tr("Leave fullscreen mode"));
    commands_.Add(CommandId::NormalWithoutKeyboard, tr("Without keyboard"),
                  QStringLiteral("NormalWithoutKeyboard"));
    // F11 is the window's own toggle (toggleFullscreen); the item names it.
    commands_.Add(CommandId::Fullscreen, tr("&Fullscreen\tF11"), QStringLiteral("Fullscreen"));
    commands_.Add(CommandId::Compact, tr("&Compact"), QStringLiteral("Compact"));
    commands_.Add(CommandId::CursorSettings, tr("C&ursor..."), QStringLiteral("CursorSettings"));
    commands_.Add(CommandId::Instruments, tr("&Instruments..."), QStringLiteral("Instruments"))
        ->setStatusTip(tr("Shows the attached instruments and chooses the USB devices to use"));
    commands_.Add(CommandId::Colors, tr("Colors..."), QStringLiteral("Colors"));
    commands_.Add(CommandId::SharpPixels, tr("S&harp pixels"), QStringLiteral("SharpPixels"))
        ->setStatusTip(tr("Shows the instrument's pixels as sharp blocks"));
    commands_.Add(CommandId::AlwaysOnTop, tr("&Always on top"), QStringLiteral("AlwaysOnTop"))
        ->setStatusTip(tr("Keeps the window above other windows"));
    QAction* save =
        commands_.Add(CommandId::ScreenshotSave, tr("Sa&ve"), QStringLiteral("ScreenshotSave"));
    save->setShortcut(Qt::Key_F8);
    save->setShortcutContext(Qt::ApplicationShortcut);
    save->setStatusTip(tr("Saving device screen to an image file"));
    QAction* copy =
        commands_.Add(CommandId::ScreenshotCopy, tr("&Copy"), QStringLiteral("ScreenshotCopy"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::ApplicationShortcut); // also from the floating bars
    copy->setStatusTip(tr("Copies the framed device screen to the clipboard"));
    commands_.Add(CommandId::ScreenshotSettings, tr("Se&ttings..."),
                  QStringLiteral("ScreenshotSettings"));
    recording_ = std::make_unique<RecordingCommands>(commands_, application_, document_, *this,
                                                     *statusBar());
    // On the window itself too: its shortcuts then work in fullscreen, where
    // the menu bar is out of sight.
    addActions({save, copy});
    // One zoom at a time: the menu shows them as radio items.
    auto* zooms = new QActionGroup(this);
    zooms->setExclusive(true);
    for (std::size_t i = 0; i < kZoomCommands.size(); ++i) {
        zooms->addAction(commands_.Add(kZoomCommands[i], QStringLiteral("x%1").arg(i + 1),
                                       QStringLiteral("ScreenshotZoom%1").arg(i + 1)));
    }
    // F11 leaves fullscreen as it enters it, as in every desktop viewer.
    auto* toggle = new QAction(tr("Fullscreen on or off"), this);
    toggle->setObjectName(QStringLiteral("actionToggleFullscreen"));
    toggle->setShortcut(Qt::Key_F11);
    toggle->setShortcutContext(Qt::ApplicationShortcut);
    addAction(toggle);
    connect(toggle, &QAction::triggered, this, &CMainFrame::toggleFullscreen);
    commands_.Add(CommandId::About, tr("&About Ombrix..."), QStringLiteral("About"));
    commands_.Add(CommandId::FullscreenToolbar, tr("&Toolbar"),
                  QStringLiteral("FullscreenToolbar"));
    commands_.Add(CommandId::ExitFullscreen, tr("&Exit fullscreen\tSpace"),
                  QStringLiteral("ExitFullscreen"));
}

void CMainFrame::createMenus() {
    menuBar()->setObjectName(QStringLiteral("menuBar"));
    menuBar()->setAccessibleName(tr("Menu bar"));
    QMenu* view = menuBar()->addMenu(tr("&View"));
    nameMenu(view, QStringLiteral("viewMenu"));
    QMenu* toolbars = view->addMenu(tr("&Toolbars"));
    nameMenu(toolbars, QStringLiteral("toolbarsMenu"));
    toolbars->addAction(commands_.Action(CommandId::MainToolbar));
    toolbars->addAction(commands_.Action(CommandId::KeyboardBar));
    toolbars->addAction(commands_.Action(CommandId::CommandsBar));
    view->addAction(commands_.Action(CommandId::StatusBar));
    view->addSeparator();
    QMenu* normal = view->addMenu(tr("Normal"));
    nameMenu(normal, QStringLiteral("normalMenu"));
    normal->addAction(commands_.Action(CommandId::NormalWithKeyboard));
    normal->addAction(commands_.Action(CommandId::NormalWithoutKeyboard));
    view->addAction(commands_.Action(CommandId::Fullscreen));
    view->addAction(commands_.Action(CommandId::Compact));
    view->addSeparator();
    view->addAction(commands_.Action(CommandId::CursorSettings));
    view->addSeparator();
    view->addAction(commands_.Action(CommandId::Colors));
    view->addAction(commands_.Action(CommandId::SharpPixels));
    view->addAction(commands_.Action(CommandId::AlwaysOnTop));
    view->addSeparator();
    view->addAction(commands_.Action(CommandId::Instruments));

    QMenu* screenshot = menuBar()->addMenu(tr("&Screenshot"));
    nameMenu(screenshot, QStringLiteral("screenshotMenu"));
    screenshot->addAction(commands_.Action(CommandId::ScreenshotSave));
    screenshot->addAction(commands_.Action(CommandId::ScreenshotCopy));
    screenshot->addAction(commands_.Action(CommandId::ScreenshotRecord));
    screenshot->addSeparator();
    QMenu* zoom = screenshot->addMenu(tr("&Zoom"));
    nameMenu(zoom, QStringLiteral("zoomMenu"));
    for (const CommandId command : kZoomCommands) {
        zoom->addAction(commands_.Action(command));
    }
    screenshot->addAction(commands_.Action(CommandId::ScreenshotSettings));

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    nameMenu(help, QStringLiteral("helpMenu"));
    help->addAction(commands_.Action(CommandId::About));
}

// The fullscreen mode's menu, on a right click into the view.
void CMainFrame::createContextMenu() {
    contextMenu_ = new QMenu(tr("Fullscreen"), this);
    nameMenu(contextMenu_, QStringLiteral("fullscreenMenu"));
    contextMenu_->addAction(commands_.Action(CommandId::ExitFullscreen));
    QMenu* view = contextMenu_->addMenu(tr("&View"));
    nameMenu(view, QStringLiteral("fullscreenViewMenu"));
    view->addAction(commands_.Add(CommandId::NormalWithKeyboard, tr("Normal &with keyboard"),
                                  QStringLiteral("ContextNormalWithKeyboard")));
    view->addAction(commands_.Add(CommandId::NormalWithoutKeyboard, tr("Normal with&out keyboard"),
                                  QStringLiteral("ContextNormalWithoutKeyboard")));
    view->addSeparator();
    view->addAction(commands_.Add(CommandId::CursorSettings, tr("&Cursor..."),
                                  QStringLiteral("ContextCursorSettings")));
    view->addAction(
        commands_.Add(CommandId::Compact, tr("C&ompact"), QStringLiteral("ContextCompact")));
    view->addSeparator();
    view->addAction(
        commands_.Add(CommandId::Colors, tr("Colors..."), QStringLiteral("ContextColors")));
    contextMenu_->addSeparator();
    contextMenu_->addAction(commands_.Add(CommandId::CommandsBar, tr("&Commands toolbar"),
                                          QStringLiteral("ContextCommandsBar")));
    contextMenu_->addAction(commands_.Add(CommandId::KeyboardBar, tr("&Keyboard"),
                                          QStringLiteral("ContextKeyboardBar")));
    contextMenu_->addAction(commands_.Action(CommandId::FullscreenToolbar));
    contextMenu_->addSeparator();
    QMenu* screenshot = contextMenu_->addMenu(tr("&Screenshot"));
    nameMenu(screenshot, QStringLiteral("fullscreenScreenshotMenu"));
    screenshot->addAction(commands_.Add(CommandId::ScreenshotSave, tr("Sa&ve\tF8"),
                                        QStringLiteral("ContextScreenshotSave")));
    screenshot->addAction(commands_.Add(CommandId::ScreenshotCopy, tr("&Copy\tCtrl+C"),
                                        QStringLiteral("ContextScreenshotCopy")));
    QAction* record = commands_.Add(CommandId::ScreenshotRecord, tr("&Record\tCtrl+R"),
                                    QStringLiteral("ContextScreenshotRecord"));
    record->setIcon(RecordingCommands::RecordIcon());
    screenshot->addAction(record);
    screenshot->addAction(commands_.Add(CommandId::ScreenshotSettings, tr("Se&ttings..."),
                                        QStringLiteral("ContextScreenshotSettings")));
}

void CMainFrame::createToolbars() {
    mainToolbar_ = new CToolBarEx(tr("Toolbar"), this);
    mainToolbar_->setObjectName(QStringLiteral("mainToolbar"));
    mainToolbar_->setAccessibleName(tr("Toolbar"));
    loadImages(*mainToolbar_, {QStringLiteral("screenshot-save"), QStringLiteral("about")},
               kMainToolbarImage);
    // The record button keeps its own icon, with the red dot while recording.
    mainToolbar_->SetButtons({{0, commands_.Action(CommandId::ScreenshotSave)},
                              {-1, commands_.Action(CommandId::ScreenshotRecord)},
                              {1, commands_.Action(CommandId::About)}});
    mainToolbar_->toggleViewAction()->setObjectName(QStringLiteral("actionShowMainToolbar"));
    addToolBar(Qt::TopToolBarArea, mainToolbar_);

    fullscreenToolbar_ = new CToolBarEx(tr("Fullscreen"), this);
    fullscreenToolbar_->setObjectName(QStringLiteral("fullscreenToolbar"));
    fullscreenToolbar_->setAccessibleName(tr("Fullscreen"));
    loadImages(*fullscreenToolbar_,
               {QStringLiteral("normal-with-keyboard"), QStringLiteral("keyboard")},
               kFullscreenToolbarImage);
    fullscreenToolbar_->SetButtons({{0, commands_.Action(CommandId::NormalWithKeyboard)},
                                    {1, commands_.Action(CommandId::KeyboardBar)}});
    fullscreenToolbar_->toggleViewAction()->setObjectName(
        QStringLiteral("actionShowFullscreenToolbar"));
    fullscreenBar_ = new CFloatingBar(tr("Fullscreen"), fullscreenToolbar_, this);
    fullscreenBar_->setObjectName(QStringLiteral("fullscreenBar"));
    describeFullscreenToolbar();
}

// Two bare icons over a presentation: each says what it does.
void CMainFrame::describeFullscreenToolbar() {
    const std::pair<CommandId, QString> buttons[] = {
        {CommandId::NormalWithKeyboard, tr("Leave fullscreen for the window with the front panel")},
        {CommandId::KeyboardBar, tr("Show or hide the keyboard bar")}};
    for (const auto& [command, description] : buttons) {
        QAction* action = commands_.Action(command);
        action->setToolTip(description);
        if (QWidget* button = fullscreenToolbar_->widgetForAction(action)) {
            button->setAccessibleName(description);
        }
    }
}

void CMainFrame::createStatusBar() {
    statusBar_ = new CStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("statusBar"));
    statusBar_->setAccessibleName(tr("Status bar"));
    setStatusBar(statusBar_);
    statusBar_->SetStatus(document_.StatusText());
    if (QWidget* grip = statusBar_->findChild<QSizeGrip*>()) {
        grip->setObjectName(QStringLiteral("sizeGrip"));
        grip->setAccessibleName(tr("Resize the window"));
    }
    connect(statusBar_, &QStatusBar::messageChanged, this, &CMainFrame::noticeMessage);
}

// Where no status bar is shown, what it would say still reaches the user: over
// the view, or under the compact strip, which has no view.
void CMainFrame::noticeMessage(const QString& text) {
    if (text.isEmpty() || statusBar_->isVisible()) {
        return;
    }
    if (CurrentMode() == DisplayMode::Compact) {
        QToolTip::showText(mapToGlobal(QPoint(0, height())), text, this, {}, kStripNoticeMs);
    } else {
        view_->ShowNotice(text);
    }
}

void CMainFrame::connectActions() {
    const std::pair<CommandId, DisplayMode> modes[] = {
        {CommandId::NormalWithKeyboard, DisplayMode::NormalWithKeyboard},
        {CommandId::NormalWithoutKeyboard, DisplayMode::NormalWithoutKeyboard},
        {CommandId::Fullscreen, DisplayMode::Fullscreen},
        {CommandId::Compact, DisplayMode::Compact}};
    for (const auto& [command, mode] : modes) {
        commands_.OnTriggered(command, [this, mode = mode] {
            SetDisplayMode(mode);
            ApplyDisplayMode();
        });
    }
    commands_.OnTriggered(CommandId::ExitFullscreen, [this] { ExitFullscreen(); });
    commands_.OnTriggered(CommandId::MainToolbar,
                          [this] { toggleBar(&BarVisibility::mainToolbar); });
    commands_.OnTriggered(CommandId::StatusBar, [this] { toggleBar(&BarVisibility::statusBar); });
    commands_.OnTriggered(CommandId::CommandsBar,
                          [this] { toggleBar(&BarVisibility::commandsBar); });
    commands_.OnTriggered(CommandId::KeyboardBar,
                          [this] { toggleBar(&BarVisibility::keyboardBar); });
    commands_.OnTriggered(CommandId::FullscreenToolbar,
                          [this] { toggleBar(&BarVisibility::fullscreenToolbar); });
    commands_.OnTriggered(CommandId::CursorSettings, [this] { showCursorSettings(); });
    commands_.OnTriggered(CommandId::Colors, [this] { showColors(); });
    commands_.OnTriggered(CommandId::SharpPixels, [this] { toggleSharpPixels(); });
    commands_.OnTriggered(CommandId::AlwaysOnTop, [this] { toggleAlwaysOnTop(); });
    commands_.OnTriggered(CommandId::ScreenshotSave, [this] { startScreenshot(); });
    commands_.OnTriggered(CommandId::ScreenshotCopy, [this] { copyScreenshot(); });
    commands_.OnTriggered(CommandId::ScreenshotSettings, [this] { showScreenshotSettings(); });
    commands_.OnTriggered(CommandId::About, [this] { showAbout(); });
    commands_.OnTriggered(CommandId::Instruments, [this] { showInstruments(); });
    connect(view_, &COmbrixView::instrumentsRequested, this, &CMainFrame::showInstruments);
    for (std::size_t i = 0; i < kZoomCommands.size(); ++i) {
        commands_.OnTriggered(kZoomCommands[i], [this, i] { setZoom(static_cast<int>(i) + 1); });
    }
    connect(commandsBar_, &CFloatingBar::closedByUser, this, [this] {
        bars_.commandsBar = false;
        refreshCommands();
    });
    connect(fullscreenBar_, &CFloatingBar::closedByUser, this, [this] {
        bars_.fullscreenToolbar = false;
        refreshCommands();
    });
    connect(keyboardBar_, &CFloatingBar::closedByUser, this, [this] {
        bars_.keyboardBar = false;
        refreshCommands();
    });
    connect(keyboardBar_, &CKeyboardToolbar::keyClicked, view_, &COmbrixView::ClickBarButton);
    connect(view_, &COmbrixView::historyEntry, this, &CMainFrame::AddHistoryEntry);
    connect(view_, &COmbrixView::keyNotSent, this, &CMainFrame::sayKeyNotSent);
    connect(commandsBar_, &CCommandsToolbar::playBackRequested, this, &CMainFrame::playBack);
    connect(commandsBar_, &CCommandsToolbar::entryAdded, recording_.get(),
            &RecordingCommands::EntryAdded);
    connect(recording_.get(), &RecordingCommands::recordingChanged, this,
            &CMainFrame::refreshCommands);
    connect(commandsBar_, &CCommandsToolbar::saved, this, [this](const QString& path) {
        statusBar()->showMessage(
            tr("Commands history saved to %1").arg(QDir::toNativeSeparators(path)), kMessageMs);
    });
    connect(view_, &COmbrixView::contextMenuRequested, this, &CMainFrame::showContextMenu);
    connect(&refreshTimer_, &QTimer::timeout, this, [this] { onTimer(DocumentTimer::Refresh); });
    connect(&blinkTimer_, &QTimer::timeout, this, [this] { onTimer(DocumentTimer::Blink); });
}

void CMainFrame::connectDocument() {
    connect(&document_, &document::DocumentHost::modelLoaded, this, &CMainFrame::onModelLoaded);
    connect(&document_, &document::DocumentHost::keyNotSent, this, &CMainFrame::sayKeyNotSent);
    connect(&document_, &document::DocumentHost::instrumentChanged, this,
            &CMainFrame::instrumentChanged);
    connect(&document_, &document::DocumentHost::frameChanged, view_, &COmbrixView::FrameChanged);
    connect(&document_, &document::DocumentHost::viewsUpdateRequested, view_, &COmbrixView::Tick);
    connect(&document_, &document::DocumentHost::statusTextChanged, this,
            [this](const QString& text) {
                statusBar_->SetStatus(text);
                updateSerialPane();
            });
    updateSerialPane();
}

// The view takes the keyboard, and the window is the one active: a key
// pressed first goes to the instrument, not into a bar shown meanwhile.
void CMainFrame::ShowInitially() {
    const base::Rect rect = geometry_->StartRect();
    move(rect.left, rect.top);
    resize(WindowSizeOf(rect));
    applyAlwaysOnTop();
    show();
    shown_ = true;
    document_.UpdatePollingMode(SettingOf(CurrentMode()));
    ApplyDisplayMode();
    geometry_->StartTracking();
    view_->setFocus();
    activateWindow();
}

void CMainFrame::StartTimers(std::chrono::milliseconds refreshPeriod,
                             std::chrono::milliseconds blinkPeriod) {
    refreshTimer_.start(refreshPeriod);
    blinkTimer_.start(blinkPeriod);
}

bool CMainFrame::TimersRunning() const {
    return refreshTimer_.isActive() && blinkTimer_.isActive();
}

std::chrono::milliseconds CMainFrame::TimerPeriod(DocumentTimer timer) const {
    return (timer == DocumentTimer::Refresh ? refreshTimer_ : blinkTimer_).intervalAsDuration();
}

DisplayMode CMainFrame::CurrentMode() const {
    return DisplayModeFromSetting(application_.Settings().DisplayMode());
}

void CMainFrame::SetDisplayMode(DisplayMode mode) {
    application_.Settings().SetDisplayMode(SettingOf(mode));
    document_.UpdatePollingMode(SettingOf(mode));
}

// The floating bars are placed once the window stands in its new place.
void CMainFrame::ApplyDisplayMode() {
    const DisplayMode mode = CurrentMode();
    bars_ = BarsForMode(mode, bars_);
    applyWindowBars();
    view_->SetDisplayMode(mode);
    if (shown_) {
        geometry_->Apply();
    }
    showFloatingBars();
    refreshCommands();
}

void CMainFrame::toggleFullscreen() {
    if (CurrentMode() == DisplayMode::Fullscreen) {
        ExitFullscreen();
        return;
    }
    SetDisplayMode(DisplayMode::Fullscreen);
    ApplyDisplayMode();
}

// The commands bar goes right of the window, the keyboard bar (once it has
// keys) below it.
QSize CMainFrame::barsRoom() const {
    const bool keyboard = bars_.keyboardBar && keyboardBar_->Built();
    return {bars_.commandsBar ? floatingBars_->FrameSizeOf(*commandsBar_).width() : 0,
            keyboard ? floatingBars_->FrameSizeOf(*keyboardBar_).height() : 0};
}

void CMainFrame::ExitFullscreen() {
    if (CurrentMode() != DisplayMode::Fullscreen) {
        return;
    }
    SetDisplayMode(
        ModeAfterFullscreen(DisplayModeFromSetting(application_.Settings().PreviousDisplayMode())));
    ApplyDisplayMode();
}

void CMainFrame::AddHistoryEntry(const QStringList& keys, bool hold) {
    commandsBar_->AddEntry(keys, hold);
}

void CMainFrame::sayKeyNotSent() {
    statusBar()->showMessage(tr("Not connected: key not sent"), kBriefMessageMs);
}

// The history says where the keys after this point went.
void CMainFrame::instrumentChanged(std::uint32_t serial, const QString& modelFile) {
    const QString instrument = tr("Instrument #%1 (%2)").arg(serial).arg(modelFile);
    commandsBar_->AddNote(instrument);
    statusBar()->showMessage(tr("Now connected to another instrument: %1").arg(instrument),
                             kMessageMs);
}

// Showing or hiding the main toolbar or the status bar changes the view's
// height, and with it the width its ratio asks for.
void CMainFrame::toggleBar(bool BarVisibility::*bar) {
    bars_.*bar = !(bars_.*bar);
    applyBars();
    if (bar == &BarVisibility::mainToolbar || bar == &BarVisibility::statusBar) {
        geometry_->BarsChanged();
    }
}

void CMainFrame::applyBars() {
    applyWindowBars();
    showFloatingBars();
    refreshCommands();
}

void CMainFrame::applyWindowBars() {
    mainToolbar_->setVisible(bars_.mainToolbar);
    statusBar_->setVisible(bars_.statusBar);
}

// Floating bars appear only with the window: before its first show they would
// stand alone on the screen.
void CMainFrame::showFloatingBars() {
    floatingBars_->Show({shown_ && bars_.fullscreenToolbar,
                         shown_ && bars_.keyboardBar && keyboardBar_->Built(),
                         shown_ && bars_.commandsBar});
}

void CMainFrame::refreshCommands() {
    FrameState state;
    state.mode = CurrentMode();
    state.keyboardBarExists = keyboardBar_->Built();
    state.keyboardBarVisible = bars_.keyboardBar;
    state.commandsBarVisible = bars_.commandsBar;
    state.fullscreenBarVisible = bars_.fullscreenToolbar;
    state.mainToolbarVisible = bars_.mainToolbar;
    state.statusBarVisible = bars_.statusBar;
    state.screenshotZoom = application_.ScreenshotZoom();
    state.sharpPixels = application_.Settings().View().SharpPixels();
    state.modelLoaded = document_.HasModel();
    state.alwaysOnTop = application_.Settings().MainFrame().AlwaysOnTop();
    state.recording = recording_->Recording();
    commands_.Refresh(state);
}

// A history checked against the keys of the model before plays no further.
void CMainFrame::onModelLoaded() {
    playback_->Stop();
    colors_->ModelLoaded();
    view_->ModelChanged();
    rebuildKeyboardBar();
    ApplyDisplayMode();
    updateTitle();
    updateSerialPane();
}

// The bar keeps its place and visibility from model to model. A model without
// bar keys or whose bar picture cannot be used leaves no bar: the buttons of
// the model before would press this model's keys under another's images.
void CMainFrame::rebuildKeyboardBar() {
    const model::KeyboardLayout& layout = document_.KeyboardLayout();
    const QString path = document_.KeyboardBarPicturePath();
    if (!keyboardBar_->Build(layout, QImage(path)) && !layout.toolbarButtons().empty()) {
        statusBar()->showMessage(tr("The keyboard bar's picture %1 cannot be used.")
                                     .arg(path.isEmpty() ? layout.ToolbarBitmapPath() : path),
                                 kMessageMs);
    }
}

void CMainFrame::onTimer(DocumentTimer timer) {
    document_.OnTimer(timer);
    if (timer == DocumentTimer::Refresh) {
        playback_->Tick();
    } else {
        recording_->BlinkTurned();
    }
}

void CMainFrame::playBack(const QString& path) {
    const QString error = playback_->Start(path);
    if (!error.isEmpty()) {
        QMessageBox::warning(this, tr("Play back"), error);
    }
}

void CMainFrame::updateTitle() {
    setWindowTitle(FrameTitle(document_.HasModel() ? document_.ModelFileName() : tr("Untitled")));
}

void CMainFrame::updateSerialPane() {
    const QString serial = document_.Serial();
    statusBar_->SetSerial(serial.isEmpty() ? QString() : QStringLiteral("#") + serial);
}

template <typename Dialog> int CMainFrame::runPausingTimers(Dialog& dialog) {
    const bool running = TimersRunning();
    refreshTimer_.stop();
    blinkTimer_.stop();
    const int result = dialog.exec();
    if (running) {
        refreshTimer_.start();
        blinkTimer_.start();
    }
    return result;
}

void CMainFrame::showAbout() {
    CAboutDlg about(this);
    runPausingTimers(about);
}

// Modeless and one at a time: the window goes on showing the instrument the
// dialog helps to reach.
void CMainFrame::showInstruments() {
    if (!instruments_) {
        instruments_ = new CInstrumentsDlg(application_, document_, this);
        instruments_->setAttribute(Qt::WA_DeleteOnClose);
    }
    instruments_->show();
    instruments_->raise();
    instruments_->activateWindow();
}

// The screen's new colours show at once, not only with the next frame.
// A model loaded while the dialog was open (an instrument swapped) has its
// own colours: the dialog's were meant for the one before.
void CMainFrame::showColors() {
    const QString modelFile = colors_->ModelFile();
    CSetupDialog dialog(colors_->Defaults(), this);
    dialog.SetColors(colors_->Current());
    if (runPausingTimers(dialog) != QDialog::Accepted || !dialog.Changed() ||
        colors_->ModelFile() != modelFile) {
        return;
    }
    if (!colors_->Apply(dialog.Colors(), modelFile, dialog.DefaultsChosen())) {
        statusBar()->showMessage(
            tr("The colours are shown but could not be remembered for this model."), kMessageMs);
    }
}

void CMainFrame::toggleSharpPixels() {
    settings::ViewSettings view = application_.Settings().View();
    view.SetSharpPixels(!view.SharpPixels());
    application_.Settings().SetView(view);
    view_->ScalingChanged();
    refreshCommands();
}

void CMainFrame::toggleAlwaysOnTop() {
    settings::MainFrameSettings frame = application_.Settings().MainFrame();
    frame.SetAlwaysOnTop(!frame.AlwaysOnTop());
    application_.Settings().SetMainFrame(frame);
    applyAlwaysOnTop();
    refreshCommands();
}

// The widget's flags without re-creating the window (setWindowFlag would hide
// it), then the platform window's, which tell the window manager at once.
void CMainFrame::applyAlwaysOnTop() {
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, application_.Settings().MainFrame().AlwaysOnTop());
    overrideWindowFlags(flags);
    if (QWindow* window = windowHandle()) {
        window->setFlags(flags);
    }
}

void CMainFrame::showCursorSettings() {
    CCursorSettingsDlg dialog(application_.Settings().Cursor(), this);
    if (dialog.exec() == QDialog::Accepted) {
        application_.Settings().SetCursor(dialog.Settings());
    }
}

// The file is written once the instrument's screen has been read afresh; the
// status bar says so meanwhile, and then what became of it.
void CMainFrame::startScreenshot() {
    const document::ScreenshotRequest request{application_.Settings().Screenshot(),
                                              application_.ScreenshotZoom()};
    if (document_.StartScreenshot(request)) {
        // Not for ever: without an instrument no screen comes to be saved.
        statusBar()->showMessage(tr("Saving the screenshot\u2026"), kMessageMs);
    } else {
        statusBar()->showMessage(tr("The screenshot before is still being saved."), kMessageMs);
    }
}

void CMainFrame::ScreenshotSaved(const screenshot::ScreenshotOutcome& outcome) {
    const QString path = QDir::toNativeSeparators(outcome.path);
    QString message;
    if (outcome.written) {
        message = tr("Screenshot saved to %1").arg(path);
    } else if (path.isEmpty()) {
        message = tr("The screenshot was not saved: %1.").arg(outcome.error);
    } else {
        message = tr("The screenshot could not be saved to %1: %2.").arg(path, outcome.error);
    }
    statusBar()->showMessage(message, kMessageMs);
}

// What F8 would save, from the frame on show, straight to the clipboard.
void CMainFrame::copyScreenshot() {
    const std::shared_ptr<const document::Frame> frame = document_.frame();
    if (!frame) {
        statusBar()->showMessage(tr("There is no instrument screen to copy yet."), kMessageMs);
        return;
    }
    QGuiApplication::clipboard()->setImage(screenshot::Zoomed(
        screenshot::ComposeScreenshot(frame->shown()), application_.ScreenshotZoom()));
    statusBar()->showMessage(tr("Screenshot copied to the clipboard"), kMessageMs);
}

// The counter is taken back only when the dialog reset it: a screenshot saved
// while it was open has moved it on since.
void CMainFrame::showScreenshotSettings() {
    const settings::ScreenshotSettings opened = application_.Settings().Screenshot();
    CScreenshotSettingsDlg dialog(opened, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    settings::ScreenshotSettings chosen = dialog.Settings();
    if (chosen.Counter() == opened.Counter()) {
        chosen.SetCounter(application_.Settings().Screenshot().Counter());
    }
    application_.Settings().SetScreenshot(chosen);
}

void CMainFrame::setZoom(int zoom) {
    application_.SetScreenshotZoom(zoom);
    refreshCommands();
}

// With its right edge at the click, as the fullscreen menu opens.
void CMainFrame::showContextMenu(QPoint globalPosition) {
    contextMenu_->popup(globalPosition - QPoint(contextMenu_->sizeHint().width(), 0));
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (geometry_) {
        geometry_->WindowChanged();
        floatingBars_->WindowChanged();
    }
}

// A window manager leaves fullscreen or maximised state on its own time; the
// geometry then catches up with it.
void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && geometry_) {
        geometry_->WindowChanged();
    }
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (geometry_) {
        geometry_->WindowChanged();
        floatingBars_->WindowChanged();
    }
}

// A keyboard bar that never existed leaves its stored visibility alone.
void CMainFrame::closeEvent(QCloseEvent* event) {
    recording_->Stop();
    geometry_->Stop();
    if (keyboardBar_->Built()) {
        settings::MainFrameSettings frame = application_.Settings().MainFrame();
        frame.SetKeyboardToolbarVisible(keyboardBar_->isVisible());
        application_.Settings().SetMainFrame(frame);
    }
    settings::CommandsToolbarSettings commands = application_.Settings().CommandsToolbar();
    commands.SetVisible(bars_.commandsBar);
    application_.Settings().SetCommandsToolbar(commands);
    application_.StoreGlobalProfile();
    refreshTimer_.stop();
    blinkTimer_.stop();
    event->accept();
}

bool CMainFrame::isOwnWindow(const QWindow* window) const {
    return window != nullptr &&
           (window == windowHandle() || window == keyboardBar_->windowHandle() ||
            window == fullscreenBar_->windowHandle());
}

} // namespace ombrix::shell
