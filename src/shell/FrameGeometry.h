#pragma once

#include "base/Rect.h"
#include "settings/ApplicationSettings.h"
#include "shell/DisplayMode.h"
#include "shell/WindowGeometry.h"
#include "shell/X11SizeHints.h"

#include <QMargins>
#include <QTimer>
#include <functional>

class QMainWindow;
class QToolBar;

namespace ombrix::shell {

class COmbrixView;

// The main window's geometry: the window of each display mode within its
// monitor's work area, the view kept at the picture's aspect ratio when the
// window is resized, fullscreen on the monitor under the mouse, the compact
// strip, the first start's size, and the placement remembered in the
// settings. The arithmetic is WindowGeometry's and WindowPlacement's; this
// applies it to the real window, whose decoration it measures.
//
// On X11 the window manager is told the view's shape (size hints), so it
// keeps it while an edge is dragged; once the pointer is let go, a size that
// still misses it is put right from the edge that moved.
class FrameGeometry {
public:
    struct Parts {
        QMainWindow& window;
        COmbrixView& view;
        QToolBar& mainToolbar;
        settings::ApplicationSettings& settings;
        std::function<DisplayMode()> mode;
        std::function<AspectSource()> aspect;
        // The room the floating bars shown take beside the window: their
        // width on its right, their height below it.
        std::function<QSize()> barsRoom;
    };

    explicit FrameGeometry(Parts parts);

    // The window has been shown and placed: from now on its placement is
    // remembered and kept in shape.
    void StartTracking();
    // The window is closing: nothing more is placed or remembered.
    void Stop();
    // Where the window stands before its first show: the stored rectangle, or
    // the first start's.
    base::Rect StartRect();
    // Gives the window the rectangle of the current mode.
    void Apply();
    // The main toolbar or the status bar was shown or hidden.
    void BarsChanged();
    // The window moved, changed its size or its state.
    void WindowChanged();
    // Whether the window waits to be sized for the first model it shows
    // (no rectangle was stored).
    bool FirstStart() const { return firstStart_; }

private:
    double ratio() const;
    QSize decoration() const;
    QSize measureOverhead();
    base::Rect windowRect() const;
    base::Rect regularRect();
    QRect workArea(const base::Rect& rect) const;
    QSize naturalView() const;
    void sizeFirstStart(QSize overhead);
    void place(const base::Rect& rect);
    void updateAspectHints();
    void setLimits(DisplayMode mode);
    QSize compactContent();
    void coverMonitor();
    bool reframed();
    void settle();
    base::Rect shaped(const base::Rect& current);
    base::Rect withinLimits(const base::Rect& rect) const;
    void remember();

    Parts parts_;
    QTimer settleTimer_;
    QTimer frameCheck_;
    bool tracking_ = false;
    bool placing_ = false;
    bool framePending_ = false; // a placement the window manager may still frame
    bool firstStart_ = false;   // sized for the first model yet to come
    QMargins placedMargins_;    // the frame's borders when it was asked for
    base::Rect settled_;        // the rectangle last placed or seen at rest
    base::Rect correctedFrom_;  // where the last correction started
    int refusals_ = 0;          // corrections the window manager undid in a row
    X11AspectHints aspectHints_;
};

} // namespace ombrix::shell
