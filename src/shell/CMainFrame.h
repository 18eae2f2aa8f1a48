#pragma once

#include "base/Rect.h"
#include "document/DocumentHost.h"
#include "screenshot/SaveScreenshot.h"
#include "shell/ApplicationServices.h"
#include "shell/CommandTable.h"
#include "shell/DisplayMode.h"
#include "shell/ModeBars.h"
#include "shell/WindowGeometry.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <memory>

class QKeyEvent;
class QMenu;
class QWindow;

namespace ombrix::shell {

class CCommandsToolbar;
class CFloatingBar;
class CStatusBar;
class FloatingBars;
class FrameGeometry;
class HistoryPlayback;
class KeyRouting;
class RecordingCommands;
class ScreenColors;
class CInstrumentsDlg;
class CKeyboardToolbar;
class COmbrixView;
class CToolBarEx;

// The application's window: the instrument view, the menus, the main toolbar,
// the status bar, the floating fullscreen toolbar, keyboard bar and commands
// history bar, the four display modes, and the two timers that drive the
// document. Computer keys pressed anywhere in the window (text fields aside)
// go to the instrument.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Throws std::runtime_error when the toolbar images cannot be made.
    CMainFrame(ApplicationServices& application, document::DocumentHost& document);
    ~CMainFrame() override;

    // The first show: at the stored rectangle, in the stored mode, with the
    // floating bars as they were left.
    void ShowInitially();
    void StartTimers(std::chrono::milliseconds refreshPeriod,
                     std::chrono::milliseconds blinkPeriod);
    bool TimersRunning() const;
    std::chrono::milliseconds TimerPeriod(document::DocumentTimer timer) const;

    // The current mode becomes the previous one; the document polls accordingly.
    void SetDisplayMode(DisplayMode mode);
    // Shows and hides the bars for the current mode and lays the view out.
    void ApplyDisplayMode();
    // Back to the mode before fullscreen; only in fullscreen.
    void ExitFullscreen();
    // A key press for the commands history: the key names joined by " + ",
    // a held key marked so.
    void AddHistoryEntry(const QStringList& keys, bool hold);
    // Says in the status bar what became of a screenshot.
    void ScreenshotSaved(const screenshot::ScreenshotOutcome& outcome);

    DisplayMode CurrentMode() const;
    BarVisibility Bars() const { return bars_; }
    const CommandTable& Commands() const { return commands_; }
    COmbrixView& View() const { return *view_; }
    CCommandsToolbar& CommandsBar() const { return *commandsBar_; }
    CKeyboardToolbar& KeyboardBar() const { return *keyboardBar_; }
    CToolBarEx& MainToolbar() const { return *mainToolbar_; }
    CToolBarEx& FullscreenToolbar() const { return *fullscreenToolbar_; }
    HistoryPlayback& Playback() const { return *playback_; }
    RecordingCommands& Recording() const { return *recording_; }
    CStatusBar& StatusBar() const { return *statusBar_; }
    const FloatingBars& FloatingBarPlaces() const { return *floatingBars_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createActions();
    void connectActions();
    void createMenus();
    void createContextMenu();
    void createToolbars();
    void createStatusBar();
    void connectDocument();
    void onModelLoaded();
    void sayKeyNotSent();
    void instrumentChanged(std::uint32_t serial, const QString& modelFile);
    QSize barsRoom() const;
    void rebuildKeyboardBar();
    // This window or one of its floating bars, where keys press instrument keys.
    bool isOwnWindow(const QWindow* window) const;
    void onTimer(document::DocumentTimer timer);
    void toggleBar(bool BarVisibility::*bar);
    void applyBars();
    void applyWindowBars();
    void showFloatingBars();
    void toggleFullscreen();
    // A message of the status bar, where none is shown.
    void noticeMessage(const QString& text);
    void describeFullscreenToolbar();
    void refreshCommands();
    void updateTitle();
    void updateSerialPane();
    void showAbout();
    void showInstruments();
    void showCursorSettings();
    void showColors();
    void toggleSharpPixels();
    void toggleAlwaysOnTop();
    void applyAlwaysOnTop();
    void startScreenshot();
    void copyScreenshot();
    void showScreenshotSettings();
    void setZoom(int zoom);
    void showContextMenu(QPoint globalPosition);
    void playBack(const QString& path);
    // Runs the dialog with both timers stopped; restarts them if they ran.
    template <typename Dialog> int runPausingTimers(Dialog& dialog);

    ApplicationServices& application_;
    document::DocumentHost& document_;
    CommandTable commands_;
    COmbrixView* view_ = nullptr;
    CToolBarEx* mainToolbar_ = nullptr;
    CToolBarEx* fullscreenToolbar_ = nullptr;
    CFloatingBar* fullscreenBar_ = nullptr;
    CCommandsToolbar* commandsBar_ = nullptr;
    CKeyboardToolbar* keyboardBar_ = nullptr;
    CStatusBar* statusBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    std::unique_ptr<FrameGeometry> geometry_;
    std::unique_ptr<FloatingBars> floatingBars_;
    std::unique_ptr<HistoryPlayback> playback_;
    std::unique_ptr<KeyRouting> keyRouting_;
    std::unique_ptr<ScreenColors> colors_;
    QPointer<CInstrumentsDlg> instruments_;
    std::unique_ptr<RecordingCommands> recording_;
    QTimer refreshTimer_;
    QTimer blinkTimer_;
    BarVisibility bars_;
    bool shown_ = false;
};

// The title of the window: the document's and the application's joined by " - ".
QString FrameTitle(const QString& documentTitle);

} // namespace ombrix::shell
