#pragma once

#include "document/DocumentHost.h"
#include "screenshot/SaveScreenshot.h"
#include "shell/ApplicationServices.h"
#include "shell/CommandTable.h"
#include "shell/DisplayMode.h"
#include "shell/ModeBars.h"

#include <QMainWindow>
#include <QStringList>
#include <chrono>
#include <memory>

class QMenu;

namespace ombrix::shell {

class CCommandsToolbar;
class CKeyboardToolbar;
class COmbrixView;
class CStatusBar;
class CToolBarEx;
class DocumentTimers;
class FloatingBars;
class FrameBars;
class FrameGeometry;
class HistoryPlayback;
class KeyRouting;
class RecordingCommands;
class ScreenshotCommands;
class ViewCommands;

// The application's window: it composes the instrument view, the commands
// and their menus, the bars, the status bar, the key routing, the geometry
// and the timers that drive the document, and switches between the four
// display modes.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Throws std::runtime_error when the toolbar images cannot be made.
    CMainFrame(ApplicationServices& application, document::DocumentHost& document);
    ~CMainFrame() override;

    // The first show: at the stored rectangle (or the first start's), in the
    // stored mode, with the floating bars as they were left.
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
    BarVisibility Bars() const;
    const CommandTable& Commands() const { return commands_; }
    COmbrixView& View() const { return *view_; }
    CCommandsToolbar& CommandsBar() const;
    CKeyboardToolbar& KeyboardBar() const;
    CToolBarEx& MainToolbar() const;
    CToolBarEx& FullscreenToolbar() const;
    HistoryPlayback& Playback() const { return *playback_; }
    RecordingCommands& Recording() const { return *recording_; }
    CStatusBar& StatusBar() const { return *statusBar_; }
    const FloatingBars& FloatingBarPlaces() const;

    // The bars' own menu: the same items as View > Toolbars, so the two never
    // disagree.
    QMenu* createPopupMenu() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createStatusBar();
    void createParts();
    void connectParts();
    void connectDocument();
    void noticeMessage(const QString& text);
    void toggleFullscreen();
    void onModelLoaded();
    void onTimer(document::DocumentTimer timer);
    void sayKeyNotSent();
    void instrumentChanged(std::uint32_t serial, const QString& modelFile);
    void refreshCommands();
    void updateTitle();
    void updateSerialPane();
    void playBack(const QString& path);
    void showContextMenu(QPoint globalPosition);

    ApplicationServices& application_;
    document::DocumentHost& document_;
    CommandTable commands_;
    COmbrixView* view_ = nullptr;
    CStatusBar* statusBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    DocumentTimers* timers_ = nullptr;
    std::unique_ptr<FrameBars> bars_;
    std::unique_ptr<FrameGeometry> geometry_;
    std::unique_ptr<HistoryPlayback> playback_;
    std::unique_ptr<KeyRouting> keyRouting_;
    std::unique_ptr<ScreenshotCommands> screenshots_;
    std::unique_ptr<ViewCommands> viewCommands_;
    std::unique_ptr<RecordingCommands> recording_;
    bool shown_ = false;
};

// The title of the window: the document's and the application's joined by " - ".
QString FrameTitle(const QString& documentTitle);

} // namespace ombrix::shell
