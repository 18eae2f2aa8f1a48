#pragma once

#include "shell/HistoryPlayer.h"

#include <QString>
#include <functional>

class QStatusBar;

namespace ombrix::document {
class DocumentHost;
}
namespace ombrix::settings {
class ApplicationSettings;
}

namespace ombrix::shell {

class COmbrixView;

// The window's play back of a saved commands history: the file is checked
// against the loaded model, then played through the view's keys at the
// document's refresh ticks, an entry per highlight period, with its progress
// and its end in the status bar. The keys are the play back's while it runs.
class HistoryPlayback {
public:
    // `playingChanged` hears when a play back begins and ends.
    HistoryPlayback(COmbrixView& view, document::DocumentHost& document, QStatusBar& status,
                    const settings::ApplicationSettings& settings,
                    std::function<void(bool playing)> playingChanged);

    // Starts playing the file at `path`; the reason, with the line at fault,
    // when it cannot be played, and nothing is pressed then.
    QString Start(const QString& path);
    void Stop();
    bool Playing() const { return player_.Playing(); }
    // The document's refresh tick.
    void Tick();

private:
    void press(const history::ReplayStep& step);
    void finished(const QString& outcome);

    COmbrixView& view_;
    document::DocumentHost& document_;
    QStatusBar& status_;
    const settings::ApplicationSettings& settings_;
    std::function<void(bool)> playingChanged_;
    HistoryPlayer player_;
};

} // namespace ombrix::shell
