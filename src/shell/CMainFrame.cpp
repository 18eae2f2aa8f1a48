#include "shell/CMainFrame.h"

#include "shell/CCommandsToolbar.h"
#include "shell/CKeyboardToolbar.h"
#include "shell/COmbrixView.h"
#include "shell/CStatusBar.h"
#include "shell/CToolBarEx.h"
#include "shell/DocumentTimers.h"
#include "shell/FrameBars.h"
#include "shell/FrameGeometry.h"
#include "shell/HistoryPlayback.h"
#include "shell/KeyRouting.h"
#include "shell/MainCommands.h"
#include "shell/RecordingCommands.h"
#include "shell/ScreenshotCommands.h"
#include "shell/StatusMessages.h"
#include "shell/ViewCommands.h"
#include "shell/WindowPlacement.h"

#include <QCloseEvent>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSizeGrip>
#include <QToolTip>

namespace ombrix::shell {

namespace {

using document::DocumentTimer;

// Where the compact strip has no room, a message shows under it this long.
constexpr int kStripNoticeMs = 4'000;

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
    AddMainCommands(commands_, *this);
    FillMenuBar(*menuBar(), commands_);
    contextMenu_ = MakeFullscreenMenu(commands_, *this);
    createParts();
    connectParts();
    connectDocument();
    updateTitle();
    refreshCommands();
}

// The key routing goes first: the children destroyed after the members still
// have events for its filter.
CMainFrame::~CMainFrame() {
    keyRouting_.reset();
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

void CMainFrame::createParts() {
    timers_ = new DocumentTimers(this);
    recording_ =
        std::make_unique<RecordingCommands>(commands_, application_, document_, *this, *statusBar_);
    bars_ = std::make_unique<FrameBars>(
        FrameBars::Parts{*this, *view_, commands_, application_, [this] { return CurrentMode(); }});
    geometry_ = std::make_unique<FrameGeometry>(FrameGeometry::Parts{
        *this, *view_, bars_->MainToolbar(), application_.Settings(),
        [this] { return CurrentMode(); }, [this] { return document_.AspectSource(); },
        [this] { return bars_->Room(); }});
    playback_ = std::make_unique<HistoryPlayback>(
        *view_, document_, *statusBar_, application_.Settings(),
        [this](bool playing) { CommandsBar().SetPlayingBack(playing); });
    keyRouting_ = std::make_unique<KeyRouting>(KeyRouting::Parts{
        *view_, *playback_, [this](const QWindow* window) { return bars_->IsOwnWindow(window); },
        [this] { ExitFullscreen(); }});
    screenshots_ = std::make_unique<ScreenshotCommands>(commands_, application_, document_, *this,
                                                        *statusBar_);
    viewCommands_ = std::make_unique<ViewCommands>(ViewCommands::Parts{
        commands_, application_, document_, *this, *view_, *statusBar_, *timers_});
}

void CMainFrame::connectParts() {
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
    commands_.OnTriggered(CommandId::ToggleFullscreen, [this] { toggleFullscreen(); });
    connect(bars_.get(), &FrameBars::changed, this, &CMainFrame::refreshCommands);
    connect(bars_.get(), &FrameBars::windowBarsChanged, this, [this] { geometry_->BarsChanged(); });
    connect(screenshots_.get(), &ScreenshotCommands::zoomChanged, this,
            &CMainFrame::refreshCommands);
    connect(viewCommands_.get(), &ViewCommands::changed, this, &CMainFrame::refreshCommands);
    connect(recording_.get(), &RecordingCommands::recordingChanged, this,
            &CMainFrame::refreshCommands);
    connect(view_, &COmbrixView::historyEntry, this, &CMainFrame::AddHistoryEntry);
    connect(view_, &COmbrixView::keyNotSent, this, &CMainFrame::sayKeyNotSent);
    connect(view_, &COmbrixView::contextMenuRequested, this, &CMainFrame::showContextMenu);
    CCommandsToolbar& history = CommandsBar();
    connect(&history, &CCommandsToolbar::playBackRequested, this, &CMainFrame::playBack);
    connect(&history, &CCommandsToolbar::entryAdded, recording_.get(),
            &RecordingCommands::EntryAdded);
    connect(&history, &CCommandsToolbar::saved, this, [this](const QString& path) {
        statusBar_->showMessage(
            tr("Commands history saved to %1").arg(QDir::toNativeSeparators(path)), kMessageMs);
    });
    connect(timers_, &DocumentTimers::ticked, this, &CMainFrame::onTimer);
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

// The view takes the keyboard, and the window is the one active: a key
// pressed first goes to the instrument, not into a bar shown meanwhile.
void CMainFrame::ShowInitially() {
    const base::Rect rect = geometry_->StartRect();
    move(rect.left, rect.top);
    resize(WindowSizeOf(rect));
    viewCommands_->ApplyAlwaysOnTop();
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
    timers_->Start(refreshPeriod, blinkPeriod);
}

bool CMainFrame::TimersRunning() const {
    return timers_->Running();
}

std::chrono::milliseconds CMainFrame::TimerPeriod(DocumentTimer timer) const {
    return timers_->Period(timer);
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
    bars_->ApplyMode();
    view_->SetDisplayMode(CurrentMode());
    if (shown_) {
        geometry_->Apply();
        bars_->WindowShown();
    }
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

void CMainFrame::ExitFullscreen() {
    if (CurrentMode() != DisplayMode::Fullscreen) {
        return;
    }
    SetDisplayMode(
        ModeAfterFullscreen(DisplayModeFromSetting(application_.Settings().PreviousDisplayMode())));
    ApplyDisplayMode();
}

void CMainFrame::AddHistoryEntry(const QStringList& keys, bool hold) {
    CommandsBar().AddEntry(keys, hold);
}

void CMainFrame::ScreenshotSaved(const screenshot::ScreenshotOutcome& outcome) {
    screenshots_->Saved(outcome);
}

void CMainFrame::sayKeyNotSent() {
    statusBar_->showMessage(tr("Not connected: key not sent"), kBriefMessageMs);
}

// The history says where the keys after this point went.
void CMainFrame::instrumentChanged(std::uint32_t serial, const QString& modelFile) {
    const QString instrument = tr("Instrument #%1 (%2)").arg(serial).arg(modelFile);
    CommandsBar().AddNote(instrument);
    statusBar_->showMessage(tr("Now connected to another instrument: %1").arg(instrument),
                            kMessageMs);
}

void CMainFrame::refreshCommands() {
    const BarVisibility bars = Bars();
    FrameState state;
    state.mode = CurrentMode();
    state.keyboardBarExists = KeyboardBar().Built();
    state.keyboardBarVisible = bars.keyboardBar;
    state.commandsBarVisible = bars.commandsBar;
    state.fullscreenBarVisible = bars.fullscreenToolbar;
    state.mainToolbarVisible = bars.mainToolbar;
    state.statusBarVisible = bars.statusBar;
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
    viewCommands_->ModelLoaded();
    view_->ModelChanged();
    if (const std::optional<QString> problem = bars_->RebuildKeyboardBar(
            document_.KeyboardLayout(), document_.KeyboardBarPicturePath())) {
        statusBar_->showMessage(*problem, kMessageMs);
    }
    ApplyDisplayMode();
    updateTitle();
    updateSerialPane();
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

// With its right edge at the click, as the fullscreen menu opens.
void CMainFrame::showContextMenu(QPoint globalPosition) {
    contextMenu_->popup(globalPosition - QPoint(contextMenu_->sizeHint().width(), 0));
}

QMenu* CMainFrame::createPopupMenu() {
    return bars_->PopupMenu(this);
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (geometry_) {
        geometry_->WindowChanged();
        bars_->WindowChanged();
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
        bars_->WindowChanged();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    recording_->Stop();
    geometry_->Stop();
    bars_->StoreVisibility();
    application_.StoreGlobalProfile();
    timers_->Stop();
    event->accept();
}

BarVisibility CMainFrame::Bars() const {
    return bars_->Visibility();
}

CCommandsToolbar& CMainFrame::CommandsBar() const {
    return bars_->CommandsBar();
}

CKeyboardToolbar& CMainFrame::KeyboardBar() const {
    return bars_->KeyboardBar();
}

CToolBarEx& CMainFrame::MainToolbar() const {
    return bars_->MainToolbar();
}

CToolBarEx& CMainFrame::FullscreenToolbar() const {
    return bars_->FullscreenToolbar();
}

const FloatingBars& CMainFrame::FloatingBarPlaces() const {
    return bars_->Places();
}

} // namespace ombrix::shell
