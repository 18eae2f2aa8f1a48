#pragma once

#include "shell/PcKeyTracker.h"

#include <QObject>
#include <QTimer>
#include <functional>

class QKeyEvent;
class QWindow;

namespace ombrix::shell {

class COmbrixView;
class HistoryPlayback;

// Where the computer keyboard goes: keys pressed in the main window or one of
// its floating bars (text fields and the menu bar aside) press instrument keys
// through the view, once each, however the keyboard repeats them; Space leaves
// fullscreen; Esc stops a play back. Keys held when the keyboard goes to a
// window that is not ours are abandoned, as their release will not be seen.
class KeyRouting : public QObject {
    Q_OBJECT

public:
    struct Parts {
        COmbrixView& view;
        HistoryPlayback& playback;
        // The main window or one of its bars.
        std::function<bool(const QWindow*)> isOwnWindow;
        std::function<void()> exitFullscreen;
    };

    explicit KeyRouting(Parts parts, QObject* parent = nullptr);
    ~KeyRouting() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool stopsPlayBack(const QEvent& event) const;
    bool sendsInstrumentKeys(const QWidget& widget) const;
    void route(const QKeyEvent& key);
    void apply(const std::vector<PcKeyTracker::Output>& outputs);
    void settle();
    void scheduleSettle();
    void focusWindowChanged(QWindow* focus);

    Parts parts_;
    PcKeyTracker tracker_;
    QTimer settleTimer_;
};

// Whether a key pressed with Ctrl or Alt held goes to the instrument: only a
// key that presses an instrument key; any other starts a shortcut.
bool PressesWithModifier(int qtKey);

// Where a key event is delivered.
struct KeyTarget {
    bool firstDelivery = false; // at the focus widget, or a window when none has it
    bool ownWindow = false;     // the main window or one of its floating bars
    bool takesText = false;     // a text field
    bool menuBar = false;
};

// Whether a key event presses an instrument key: once, where it is first
// delivered, in our windows, never in a text field or the menu bar.
bool RoutesToInstrument(const KeyTarget& target);

} // namespace ombrix::shell
