#pragma once

#include "base/Rect.h"
#include "document/AspectSource.h"
#include "shell/DisplayMode.h"

#include <QMargins>
#include <QSize>
#include <optional>

namespace ombrix::shell {

// What the view's aspect ratio depends on: the front-panel picture (none while
// it is not loaded) and the model's screen.
using document::AspectSource;

// The width / height the view keeps in `mode`: the front panel's in mode 0, the
// screen's (icon panel included) in mode 1, 1.0 in the other modes and without
// a picture. A ratio that is not a finite number above 0 is 1.0.
double ViewAspectRatio(DisplayMode mode, const AspectSource& source);

// The border or corner the user drags.
enum class SizingEdge { Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

// The window rectangle `proposed` while the user drags `edge`, changed so that
// its view keeps the ratio `r`; `overhead` is the window's size around the view
// (decoration and bars). The side the user does not drag follows.
base::Rect AdjustSizing(SizingEdge edge, const base::Rect& proposed, QSize overhead, double r);

// The edge dragged between two window rectangles: the sides that moved. None
// when neither the size nor a side changed.
std::optional<SizingEdge> DraggedEdge(const base::Rect& before, const base::Rect& after);

// The view width that keeps the ratio `r` for a view of `view`; none while the
// view is within 2 pixels of it.
std::optional<int> CorrectedViewWidth(QSize view, double r);

// The range of shapes a window manager is asked to keep the view in while the
// user drags an edge: the ratio `r` within half a percent either way, as
// width:height fractions (X11's size hints take those), so a rectangle placed
// at the ratio is never adjusted by a pixel.
struct AspectRange {
    QSize minimum;
    QSize maximum;
    friend bool operator==(const AspectRange&, const AspectRange&) = default;
};
AspectRange AspectHintRange(double r);

// The largest window in modes 0 and 1: `largest` (the screen's) cut so that the
// part of it below `heightAround` (decoration and bars) keeps the ratio `r`.
QSize AspectMaximum(QSize largest, int heightAround, double r);

// Compact mode's window: at least the content's width and height (menu bar and
// main toolbar) with the decoration, at most 100 pixels wider, fixed height.
struct CompactLimits {
    QSize minimum;
    QSize maximum;
};
CompactLimits CompactWindowLimits(QSize content, QSize decoration);

// What the window rectangle of a mode is computed from.
struct ModeGeometry {
    base::Rect regular;    // regular_window_rect
    int compactWidth = 0;  // compact_window_width
    QSize overhead;        // the window's size around the view, now
    double ratio = 1.0;    // ViewAspectRatio of the mode
    base::Rect monitor;    // fullscreen: the monitor under the mouse
    QMargins frameMargins; // fullscreen: the frame's border on each side
};

// The window rectangle of `mode`: the normal modes keep the remembered top-left
// and height and take the width from the ratio; compact mode keeps the
// remembered top-left at the compact width with no view; fullscreen covers the
// monitor with the view, the frame lying outside it.
base::Rect ComputeModeWindowRect(DisplayMode mode, const ModeGeometry& geometry);

} // namespace ombrix::shell
