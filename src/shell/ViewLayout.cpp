#include "shell/ViewLayout.h"

#include <algorithm>
#include <cmath>

namespace ombrix::shell {

namespace {

constexpr int kCaptionBand = 30;
constexpr int kFullscreenBandShare = 16;
constexpr int kFullscreenBandMax = 72;

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
    layout.panelSize = scaled(picture.width(), picture.height(), *zoom);
    const auto edge = [&](std::int32_t picturePoint, int origin, double (*rounding)(double)) {
        return static_cast<int>(rounding(picturePoint * *zoom)) + origin;
    };
    const QPoint topLeft(edge(display.left, layout.panelOrigin.x(), std::floor),
                         edge(display.top, layout.panelOrigin.y(), std::floor));
    const QPoint bottomRight(edge(display.right, layout.panelOrigin.x(), std::ceil),
                             edge(display.bottom, layout.panelOrigin.y(), std::ceil));
    layout.displayArea =
        QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
    layout.screenOrigin = layout.displayArea.topLeft();
    layout.screenSize = layout.displayArea.size();
    return layout;
}

std::optional<ViewLayout> LayoutSharpPanel(const QRect& client, const QSize& picture,
                                           const base::Rect& display, const QSize& screen,
                                           double devicePixelRatio) {
    std::optional<ViewLayout> layout = LayoutWithPanel(client, picture, display);
    if (!layout) {
        return layout;
    }
    if (const std::optional<QRect> sharp =
            SharpScreenRect(layout->displayArea, screen, devicePixelRatio)) {
        layout->screenOrigin = sharp->topLeft();
        layout->screenSize = sharp->size();
    }
    return layout;
}

std::optional<ViewLayout> LayoutScreenOnly(const QRect& client, const QSize& screen) {
    const std::optional<double> zoom = fitZoom(client, screen.width(), screen.height());
    if (!zoom) {
        return std::nullopt;
    }
    ViewLayout layout;
    layout.zoom = *zoom;
    layout.screenOrigin = {centredLeft(client, screen.width() * *zoom), client.top()};
    layout.screenSize = scaled(screen.width(), screen.height(), *zoom);
    return layout;
}

std::optional<QRect> SharpScreenRect(const QRect& area, const QSize& screen,
                                     double devicePixelRatio) {
    const std::optional<double> zoom = fitZoom(area, screen.width(), screen.height());
    const double blocks = zoom ? std::floor(*zoom * devicePixelRatio) : 0;
    if (blocks < 1) {
        return std::nullopt;
    }
    const QSize size = scaled(screen.width(), screen.height(), blocks / devicePixelRatio);
    return QRect(QPoint(centredLeft(area, size.width()),
                        truncated(area.top() + (area.height() - size.height()) / 2.0)),
                 size);
}

std::optional<ViewLayout> LayoutSharpScreen(const QRect& client, const QSize& screen,
                                            double devicePixelRatio) {
    std::optional<ViewLayout> layout = LayoutScreenOnly(client, screen);
    const std::optional<QRect> sharp = SharpScreenRect(client, screen, devicePixelRatio);
    if (!layout || !sharp) {
        return layout;
    }
    layout->zoom = std::floor(layout->zoom * devicePixelRatio) / devicePixelRatio;
    layout->screenOrigin = sharp->topLeft();
    layout->screenSize = sharp->size();
    return layout;
}

int CaptionBandHeight(bool fullscreen, int viewHeight) {
    return fullscreen
               ? std::clamp(viewHeight / kFullscreenBandShare, kCaptionBand, kFullscreenBandMax)
               : kCaptionBand;
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
