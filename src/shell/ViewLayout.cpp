#include "shell/ViewLayout.h"

#include <algorithm>
#include <cmath>

namespace ombrix::shell {

namespace {

int truncated(double value) {
    return static_cast<int>(std::trunc(value));
}

// The smaller of the two ratios, the first when they are equal; none unless
// both sides and the result are usable.
std::optional<double> fitZoom(const QRect& client, double width, double height) {
    if (client.width() <= 0 || client.height() <= 0 || width <= 0 || height <= 0) {
        return std::nullopt;
    }
    const double zoom = std::min(client.width() / width, client.height() / height);
    return std::isfinite(zoom) && zoom > 0 ? std::optional(zoom) : std::nullopt;
}

// The left edge of a width centred in the client area.
int centredLeft(const QRect& client, double width) {
    return truncated(client.left() + (client.width() - width) / 2);
}

QSize scaled(double width, double height, double zoom) {
    return {truncated(width * zoom), truncated(height * zoom)};
}

} // namespace

std::optional<ViewLayout> LayoutWithPanel(const QRect& client, const QSize& picture,
                                          const base::Rect& display) {
    const std::optional<double> zoom = fitZoom(client, picture.width(), picture.height());
    if (!zoom) {
        return std::nullopt;
    }
    ViewLayout layout;
    layout.zoom = *zoom;
    layout.panelOrigin = {centredLeft(client, picture.width() * *zoom), 0};
    layout.screenOrigin = {truncated(display.left * *zoom + layout.panelOrigin.x()),
                           truncated(display.top * *zoom + layout.panelOrigin.y())};
    layout.panelSize = scaled(picture.width(), picture.height(), *zoom);
    layout.screenSize =
        scaled(static_cast<double>(display.width()), static_cast<double>(display.height()), *zoom);
    return layout;
}

std::optional<ViewLayout> LayoutScreenOnly(const QRect& client, const QSize& screen) {
    const std::optional<double> zoom = fitZoom(client, screen.width(), screen.height());
    if (!zoom) {
        return std::nullopt;
    }
    ViewLayout layout;
    layout.zoom = *zoom;
    layout.screenOrigin = {centredLeft(client, screen.width() * *zoom), 0};
    layout.screenSize = scaled(screen.width(), screen.height(), *zoom);
    return layout;
}

std::optional<ViewLayout> LayoutSharpScreen(const QRect& client, const QSize& screen,
                                            double devicePixelRatio) {
    std::optional<ViewLayout> layout = LayoutScreenOnly(client, screen);
    const double blocks = layout ? std::floor(layout->zoom * devicePixelRatio) : 0;
    if (blocks < 1) {
        return layout;
    }
    layout->zoom = blocks / devicePixelRatio;
    layout->screenSize = scaled(screen.width(), screen.height(), layout->zoom);
    layout->screenOrigin = {
        centredLeft(client, layout->screenSize.width()),
        truncated(client.top() + (client.height() - layout->screenSize.height()) / 2.0)};
    return layout;
}

QPoint WindowToPicture(const QPoint& window, const ViewLayout& layout) {
    return {truncated((window.x() - layout.panelOrigin.x()) / layout.zoom),
            truncated((window.y() - layout.panelOrigin.y()) / layout.zoom)};
}

QPoint PictureToWindow(const QPoint& picture, const ViewLayout& layout) {
    return {truncated(picture.x() * layout.zoom + layout.panelOrigin.x()),
            truncated(picture.y() * layout.zoom + layout.panelOrigin.y())};
}

} // namespace ombrix::shell
