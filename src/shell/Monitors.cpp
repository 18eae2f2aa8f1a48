#include "shell/Monitors.h"

#include "shell/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

namespace ombrix::shell {

std::vector<QRect> MonitorRects() {
    std::vector<QRect> monitors;
    for (const QScreen* screen : QGuiApplication::screens()) {
        monitors.push_back(screen->geometry());
    }
    return monitors;
}

QScreen* ScreenAt(QPoint point) {
    const QRect monitor = MonitorRectAt(point, MonitorRects());
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->geometry() == monitor) {
            return screen;
        }
    }
    return QGuiApplication::primaryScreen();
}

QRect WorkAreaAt(QPoint point) {
    const QScreen* screen = ScreenAt(point);
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

} // namespace ombrix::shell
