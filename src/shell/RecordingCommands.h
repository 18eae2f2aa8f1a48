#pragma once

#include "document/DocumentHost.h"
#include "recording/Recorder.h"
#include "shell/ApplicationServices.h"
#include "shell/CommandTable.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>

class QAction;
class QLabel;
class QStatusBar;
class QWidget;

namespace ombrix::shell {

// Screenshot > Record (Ctrl+R, and a toolbar button with a red dot while it
// records): a recording of the instrument's screen in the screenshot folder,
// named as screenshots are, in the format of the screenshot settings, at the
// screenshot zoom, framed as screenshots are. While it runs it hands the
// recorder the document's frames, the blink phase, the commands history's
// entries and the instrument's loss, keeps the worker polling in compact mode
// too, and shows its elapsed time and size in the status bar; when it stops,
// the status bar says where it went. A recording that ended by itself (the
// disk full, another screen size) is said in a message box.
class RecordingCommands : public QObject {
    Q_OBJECT

public:
    // Runs the command of `commands` and adds its pane to `statusBar`;
    // `window` owns its messages.
    RecordingCommands(CommandTable& commands, ApplicationServices& application,
                      document::DocumentHost& document, QWidget& window, QStatusBar& statusBar);
    // Stops a recording still running.
    ~RecordingCommands() override;

    bool Recording() const { return recorder_ != nullptr; }
    // Starts a recording, or stops the one running.
    void Toggle();
    // Stops the recording, if one runs, with the file closed properly.
    void Stop();
    // A new entry of the commands history.
    void EntryAdded(const QString& text);
    // The document turned its blink phase over.
    void BlinkTurned();

    // The record button's icon: off, and on (the red dot) while recording.
    static QIcon RecordIcon();

signals:
    void recordingChanged();

private:
    void start();
    void frameChanged();
    void linkChanged();
    void showProgress();
    void report(const recording::RecordingOutcome& outcome);
    std::chrono::milliseconds elapsed() const;
    // The caption strip of `text`; empty without captions.
    render::CLumImage strip(const QString& text) const;

    ApplicationServices& application_;
    document::DocumentHost& document_;
    QWidget& window_;
    QStatusBar& statusBar_;
    QLabel* pane_ = nullptr;
    QTimer progress_;
    QElapsedTimer clock_;
    std::unique_ptr<recording::Recorder> recorder_;
    recording::RecordingLook look_;
    std::uint64_t lastGeneration_ = 0;
    bool lost_ = false;
};

} // namespace ombrix::shell
