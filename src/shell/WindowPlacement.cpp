#include "shell/WindowPlacement.h"

#include <algorithm>
#include <limits>

namespace ombrix::shell {

namespace {

// Squared distance from `point` to the nearest pixel of `rect`.
qint64 distanceSquared(QPoint point, const QRect& rect) {
    const qint64 dx =
        std::max({qint64{rect.left()} - point.x(), qint64{0}, qint64{point.x()} - rect.right()});
    const qint64 dy =
        std::max({qint64{rect.top()} - point.y(), qint64{0}, qint64{point.y()} - rect.bottom()});
    return dx * dx + dy * dy;
}

constexpr std::int64_t kMinimumWindowSide = 64;
constexpr std::int64_t kMaximumWindowSide = 16384;
constexpr QSize kDefaultWindowSize{300, 300};

} // namespace

QSize WindowSizeOf(const base::Rect& rect) {
    const auto usable = [](std::int64_t side) {
        return side >= kMinimumWindowSide && side <= kMaximumWindowSide;
    };
    if (!usable(rect.width()) || !usable(rect.height())) {
        return kDefaultWindowSize;
    }
    return {static_cast<int>(rect.width()), static_cast<int>(rect.height())};
}

QRect MonitorRectAt(QPoint point, const std::vector<QRect>& monitors) {
    QRect nearest;
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect& monitor : monitors) {
        const qint64 distance = distanceSquared(point, monitor);
        if (distance < best) {
            best = distance;
            nearest = monitor;
        }
    }
    return nearest;
}

bool IsRectOnMonitor(const base::Rect& rect, const std::vector<QRect>& monitors) {
    const QPoint topLeft(rect.left, rect.top);
    const QRect monitor = MonitorRectAt(topLeft, monitors);
    return monitor.contains(topLeft) && monitor.contains(QPoint(rect.right, rect.bottom));
}

base::Rect PlaceOnMonitors(const base::Rect& rect, const std::vector<QRect>& monitors,
                           const QRect& primary) {
    if (IsRectOnMonitor(rect, monitors) || primary.isEmpty()) {
        return rect;
    }
    const std::int32_t left = primary.left() + primary.width() / 4;
    const std::int32_t top = primary.top() + primary.height() / 4;
    const QSize size = WindowSizeOf(rect);
    return {left, top, left + size.width(), top + size.height()};
}

} // namespace ombrix::shell
