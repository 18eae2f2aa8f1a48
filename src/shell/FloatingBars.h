#pragma once

#include "settings/ApplicationSettings.h"
#include "shell/DisplayMode.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>

class QMainWindow;

namespace ombrix::shell {

class CFloatingBar;
class COmbrixView;

// Where the floating bars stand: beside the main window on its monitor (right
// of it, else left, else below), never over the view, following the window
// when it moves; a bar the user moved keeps its place, remembered between
// runs. In fullscreen no bar covers the instrument's screen: the view leaves
// the bottom edge to the keyboard bar and the right edge to the commands bar,
// and the fullscreen toolbar takes a free corner, or where there is none
// stays hidden until the pointer reaches the top edge of the monitor.
class FloatingBars : public QObject {
    Q_OBJECT

public:
    struct Parts {
        QMainWindow& window;
        COmbrixView& view;
        CFloatingBar& fullscreen;
        CFloatingBar& keyboard;
        CFloatingBar& commands;
        settings::ApplicationSettings& settings;
        std::function<DisplayMode()> mode;
    };
    // Which bars are to be seen.
    struct Shown {
        bool fullscreen = false;
        bool keyboard = false;
        bool commands = false;
    };

    explicit FloatingBars(Parts parts);

    // Places the bars of `shown` and shows them; hides the others.
    void Show(Shown shown);
    // The main window moved or changed its size: the bars follow it once it
    // rests.
    void WindowChanged();
    // Whether the fullscreen toolbar waits for the pointer at the top edge.
    bool FullscreenToolbarHidesAtTop() const { return hidesAtTop_; }
    // A bar's window with its frame; before the window manager has framed it,
    // with the main window's frame as a guess.
    QSize FrameSizeOf(const CFloatingBar& bar) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Bar {
        CFloatingBar* widget = nullptr;
        bool wanted = false;
        std::optional<QPoint> own; // where the user put its window's frame
        QRect placed;              // the window, frame included, where it was put
        QElapsedTimer sincePlaced;
    };
    enum BarIndex : std::size_t { Fullscreen, Keyboard, Commands };

    void restore(Bar& bar, const std::optional<base::Rect>& stored);
    void place();
    void placeBeside();
    void placeInFullscreen();
    void placeFullscreenToolbar(const QRect& monitor, std::vector<QRect> taken);
    void putAt(Bar& bar, QPoint frameTopLeft);
    void barChanged(Bar& bar);
    void remember(const Bar& bar);
    void watchTopEdge();
    QRect monitor() const;
    bool inFullscreen() const;

    Parts parts_;
    std::array<Bar, 3> bars_;
    QTimer replace_;
    QTimer topEdge_;
    bool placing_ = false;
    bool hidesAtTop_ = false;
};

} // namespace ombrix::shell
