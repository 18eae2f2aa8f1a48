#include "shell/HistoryPlayback.h"

#include "document/DocumentHost.h"
#include "settings/ApplicationSettings.h"
#include "shell/COmbrixView.h"
#include "shell/StatusMessages.h"

#include <QStatusBar>

namespace ombrix::shell {

HistoryPlayback::HistoryPlayback(COmbrixView& view, document::DocumentHost& document,
                                 QStatusBar& status, const settings::ApplicationSettings& settings,
                                 std::function<void(bool)> playingChanged)
    : view_(view), document_(document), status_(status), settings_(settings),
      playingChanged_(std::move(playingChanged)),
      player_(HistoryPlayer::Calls{
          [this](const history::ReplayStep& step) { press(step); },
          [this] {
              return HistoryPlayer::KeyCounts{document_.SentKeys(), document_.FailedKeys(),
                                              document_.KeyPending()};
          },
          [this](std::size_t entry, std::size_t count) {
              status_.showMessage(
                  PlaybackText("Playing back: entry %1 of %2 (Esc stops)").arg(entry).arg(count));
          },
          [this](const QString& outcome) { finished(outcome); },
      }) {}

QString HistoryPlayback::Start(const QString& path) {
    if (!document_.HasModel()) {
        return PlaybackText(
            "A history is played back on an instrument's keys: no instrument model is "
            "loaded yet.");
    }
    if (document_.GetLinkState() != document::LinkState::Connected) {
        return PlaybackText("The instrument is not connected: its keys cannot be pressed now.");
    }
    QString error;
    std::optional<std::vector<history::ReplayStep>> steps = history::LoadReplay(
        path, settings_.CommandsToolbar().Separator(), view_.Keys().Layout(), error);
    if (!steps) {
        return error;
    }
    view_.Keys().SetLocked(true);
    playingChanged_(true);
    player_.Start(std::move(*steps), std::chrono::milliseconds(settings_.View().HighlightPeriod()),
                  HistoryPlayer::Clock::now());
    return {};
}

void HistoryPlayback::Stop() {
    player_.Stop();
}

void HistoryPlayback::Tick() {
    player_.Advance(HistoryPlayer::Clock::now());
}

void HistoryPlayback::press(const history::ReplayStep& step) {
    if (step.hold) {
        view_.Keys().PlayHold(step.presses.front().keyCode);
    } else {
        view_.Keys().PlayPresses(step.presses);
    }
}

void HistoryPlayback::finished(const QString& outcome) {
    view_.Keys().SetLocked(false);
    playingChanged_(false);
    status_.showMessage(outcome, kMessageMs);
}

} // namespace ombrix::shell
