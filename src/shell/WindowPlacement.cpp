#include "shell/WindowPlacement.h"

#include <algorithm>
#include <cmath>
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

// The share of the work area a first start's window may take, in percent.
constexpr int kFirstStartShare = 80;
constexpr std::int64_t kMinimumWindowSide = 64;
constexpr std::int64_t kMaximumWindowSide = 16384;
constexpr QSize kDefaultWindowSize{300, 300};

base::Rect rectAt(QPoint topLeft, QSize size) {
    return {topLeft.x(), topLeft.y(), topLeft.x() + size.width(), topLeft.y() + size.height()};
}

// `view` shrunk to fit `room`, keeping its shape; never grown.
QSize shrunkToFit(QSize view, QSize room) {
    if (view.width() <= room.width() && view.height() <= room.height()) {
        return view;
    }
    const double scale = std::min(double(std::max(room.width(), 1)) / view.width(),
                                  double(std::max(room.height(), 1)) / view.height());
    return {std::max(1, static_cast<int>(std::floor(view.width() * scale))),
            std::max(1, static_cast<int>(std::floor(view.height() * scale)))};
}

// `start` moved into [low, high - length], or to `low` where it cannot fit.
int within(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length));
}

bool isFree(const QRect& spot, const QRect& area, const std::vector<QRect>& taken) {
    return area.contains(spot) && std::none_of(taken.begin(), taken.end(), [&](const QRect& rect) {
               return rect.intersects(spot);
           });
}

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

base::Rect FirstStartWindowRect(QSize natural, QSize overhead, const QRect& workArea,
                                QSize barsRoom) {
    barsRoom = barsRoom.expandedTo({0, 0});
    const QSize share = workArea.size() * kFirstStartShare / 100;
    const QSize room = share.boundedTo(workArea.size() - barsRoom) - overhead;
    const QSize window =
        shrunkToFit(natural.isEmpty() ? QSize(1, 1) : natural, room.expandedTo({1, 1})) + overhead;
    const QSize group = window + barsRoom;
    const QPoint topLeft(workArea.left() + std::max(0, (workArea.width() - group.width()) / 2),
                         workArea.top() + std::max(0, (workArea.height() - group.height()) / 2));
    return rectAt(topLeft, window);
}

base::Rect ClampIntoWorkArea(const base::Rect& rect, const QRect& workArea, QSize overhead,
                             bool keepShape) {
    QSize size(static_cast<int>(rect.width()), static_cast<int>(rect.height()));
    if (size.width() > workArea.width() || size.height() > workArea.height()) {
        const QSize room = (workArea.size() - overhead).expandedTo({0, 0});
        const QSize view = (size - overhead).expandedTo({0, 0});
        size = (keepShape && !view.isEmpty() ? shrunkToFit(view, room.expandedTo({1, 1}))
                                             : view.boundedTo(room)) +
               overhead;
    }
    const QPoint topLeft(within(rect.left, size.width(), workArea.left(), workArea.right() + 1),
                         within(rect.top, size.height(), workArea.top(), workArea.bottom() + 1));
    return rectAt(topLeft, size);
}

std::optional<QPoint> PlaceBeside(const QRect& window, QSize bar, const QRect& workArea,
                                  const std::vector<QRect>& taken) {
    std::vector<QRect> avoided = taken;
    avoided.push_back(window);
    std::vector<int> downs{window.top()};
    std::vector<int> acrosses{window.left()};
    for (const QRect& rect : taken) {
        downs.push_back(rect.bottom() + 1);
        acrosses.push_back(rect.right() + 1);
    }
    const auto firstFree = [&](const std::vector<QPoint>& spots) -> std::optional<QPoint> {
        for (const QPoint& spot : spots) {
            if (isFree(QRect(spot, bar), workArea, avoided)) {
                return spot;
            }
        }
        return std::nullopt;
    };
    std::vector<QPoint> right, left, below, above;
    for (const int y : downs) {
        right.emplace_back(window.right() + 1, y);
        left.emplace_back(window.left() - bar.width(), y);
    }
    for (const int x : acrosses) {
        below.emplace_back(x, window.bottom() + 1);
        above.emplace_back(x, window.top() - bar.height());
    }
    for (const auto& side : {right, left, below, above}) {
        if (const std::optional<QPoint> spot = firstFree(side)) {
            return spot;
        }
    }
    return std::nullopt;
}

std::optional<QPoint> FreeSpot(const QRect& area, QSize bar, const std::vector<QRect>& taken) {
    std::vector<int> xs{area.left(), area.right() + 1 - bar.width()};
    std::vector<int> ys{area.top(), area.bottom() + 1 - bar.height()};
    for (const QRect& rect : taken) {
        xs.insert(xs.end(), {rect.right() + 1, rect.left() - bar.width()});
        ys.insert(ys.end(), {rect.bottom() + 1, rect.top() - bar.height()});
    }
    std::optional<QPoint> best;
    for (const int y : ys) {
        for (const int x : xs) {
            const bool better = !best || y < best->y() || (y == best->y() && x > best->x());
            if (better && isFree(QRect(QPoint(x, y), bar), area, taken)) {
                best = QPoint(x, y);
            }
        }
    }
    return best;
}

FullscreenBars PlaceFullscreenBars(const QRect& monitor, std::optional<QSize> keyboard,
                                   std::optional<QSize> commands) {
    FullscreenBars bars;
    if (commands) {
        bars.reserved.setRight(commands->width());
        bars.commands = QPoint(monitor.right() + 1 - commands->width(), monitor.top());
    }
    if (keyboard) {
        bars.reserved.setBottom(keyboard->height());
        const int width = monitor.width() - bars.reserved.right();
        bars.keyboard = QPoint(monitor.left() + std::max(0, (width - keyboard->width()) / 2),
                               monitor.bottom() + 1 - keyboard->height());
    }
    return bars;
}

} // namespace ombrix::shell
