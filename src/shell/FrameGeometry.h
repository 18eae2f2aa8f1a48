#pragma once

#include "base/Rect.h"
#include "settings/ApplicationSettings.h"
#include "shell/DisplayMode.h"
#include "shell/WindowGeometry.h"

#include <QMargins>
#include <QTimer>
#include <functional>

class QMainWindow;
class QToolBar;
class QWidget;

namespace ombrix::shell {

// The main window's geometry: the window of each display mode, the view kept
// at the picture's aspect ratio when the window is resized, fullscreen on the
// monitor under the mouse, the compact strip, and the placement remembered in
// the settings. The arithmetic is WindowGeometry's; this applies it to the
// real window, whose decoration it measures.
class FrameGeometry {
public:
    struct Parts {
        QMainWindow& window;
        QWidget& view;
        QToolBar& mainToolbar;
        settings::ApplicationSettings& settings;
        std::function<DisplayMode()> mode;
        std::function<AspectSource()> aspect;
    };

    explicit FrameGeometry(Parts parts);

    // The window has been shown and placed: from now on its placement is
    // remembered and kept in shape.
    void StartTracking();
    // The window is closing: nothing more is placed or remembered.
    void Stop();
    // Gives the window the rectangle of the current mode.
    void Apply();
    // The main toolbar or the status bar was shown or hidden.
    void BarsChanged();
    // The window moved, changed its size or its state.
    void WindowChanged();

private:
    double ratio() const;
    QSize decoration() const;
    QSize measureOverhead();
    base::Rect windowRect() const;
    base::Rect regularRect();
    void place(const base::Rect& rect);
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
    QMargins placedMargins_;    // the frame's borders when it was asked for
    base::Rect settled_;        // the rectangle last placed or seen at rest
    base::Rect correctedFrom_;  // where the last correction started
};

} // namespace ombrix::shell
