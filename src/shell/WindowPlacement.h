#pragma once

#include "base/Rect.h"

#include <QPoint>
#include <QRect>
#include <QSize>
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

} // namespace ombrix::shell
