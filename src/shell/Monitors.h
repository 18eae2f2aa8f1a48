#pragma once

#include <QPoint>
#include <QRect>
#include <vector>

class QScreen;

namespace ombrix::shell {

// The monitors as the window system has them now: their whole rectangles.
std::vector<QRect> MonitorRects();

// The screen holding `point`, else the nearest one; the primary screen when
// there is none.
QScreen* ScreenAt(QPoint point);

// The work area (the monitor without its panels and docks) of the screen
// holding `point`, else of the nearest.
QRect WorkAreaAt(QPoint point);

} // namespace ombrix::shell
