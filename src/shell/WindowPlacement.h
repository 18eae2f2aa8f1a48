#pragma once

#include "base/Rect.h"

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

namespace ombrix::shell {

// The monitor rectangle nearest to `point` (the one holding it, else the
// closest); an empty rectangle when there is no monitor.
QRect MonitorRectAt(QPoint point, const std::vector<QRect>& monitors);

// Whether both the top-left and the bottom-right corner of `rect` lie in the
// monitor nearest its top-left; the right and bottom edges count as outside.
bool IsRectOnMonitor(const base::Rect& rect, const std::vector<QRect>& monitors);

// The window's size from a stored rectangle; the default rectangle's size for
// one too small or too large to have been meant.
QSize WindowSizeOf(const base::Rect& rect);

// A stored window rectangle brought back onto a monitor: one that is not on a
// monitor moves, keeping its size, so that its top-left lies a quarter of the
// primary monitor's width and height inside that monitor's top-left.
base::Rect PlaceOnMonitors(const base::Rect& rect, const std::vector<QRect>& monitors,
                           const QRect& primary);

// The window of a first start (no rectangle stored): the view at its
// `natural` size, or at the largest size of that shape with which the whole
// window (the view and `overhead` around it) fits 80 % of `workArea` and
// leaves `barsRoom` free beside it (the floating bars' width on its right,
// their height below it); the window and that room centred together.
base::Rect FirstStartWindowRect(QSize natural, QSize overhead, const QRect& workArea,
                                QSize barsRoom);

// `rect` moved into `workArea`, made smaller first where it does not fit:
// the view inside it (`rect` less `overhead`) keeps its shape if `keepShape`.
// What cannot fit even so keeps its top-left corner in the area.
base::Rect ClampIntoWorkArea(const base::Rect& rect, const QRect& workArea, QSize overhead,
                             bool keepShape);

// Where a floating bar of `bar` (its window, frame included) goes beside
// `window` within `workArea`, clear of the window and of `taken` (the bars
// placed before): right of the window, else left of it, else below, else
// above, each side tried from the window's top or left edge on and past the
// taken rectangles. None when no side has room.
std::optional<QPoint> PlaceBeside(const QRect& window, QSize bar, const QRect& workArea,
                                  const std::vector<QRect>& taken);

// A place for a bar of `bar` in `area` clear of every rectangle of `taken`:
// the highest, then the rightmost of the area's corners and the places beside
// each taken rectangle. None when nothing is free.
std::optional<QPoint> FreeSpot(const QRect& area, QSize bar, const std::vector<QRect>& taken);

// Fullscreen with the keyboard bar or the commands bar shown: the edges of the
// monitor the view keeps free for them (the keyboard bar's height at the
// bottom, the commands bar's width on the right), and where they go there.
struct FullscreenBars {
    QMargins reserved;
    std::optional<QPoint> keyboard;
    std::optional<QPoint> commands;
};
FullscreenBars PlaceFullscreenBars(const QRect& monitor, std::optional<QSize> keyboard,
                                   std::optional<QSize> commands);

} // namespace ombrix::shell
