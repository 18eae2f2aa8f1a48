#include "shell/PresentationCursor.h"

#include "shell/Artwork.h"

#include <QPixmap>
#include <QWidget>
#include <array>
#include <cmath>

namespace ombrix::shell {

namespace {

constexpr std::array<int, 3> kCursorSides = {32, 48, 256};
// Where the pointer's tip lies in its artwork, as a share of the side.
constexpr double kHotSpotShare = 12.0 / 64.0;

QString artworkName(CursorState shape) {
    return shape == CursorState::Pressed ? QStringLiteral("pressed") : QStringLiteral("normal");
}

} // namespace

std::optional<CursorResource> CursorResourceFor(std::uint32_t size, CursorState state) {
    if (size >= kCursorSides.size()) {
        return std::nullopt;
    }
    return CursorResource{state, kCursorSides[size]};
}

// The pixmap says how many screen pixels make one of its units, so the window
// system shows it at exactly its pixels instead of enlarging it on a dense
// screen.
QCursor PresentationCursorImage(const CursorResource& resource, qreal devicePixelRatio) {
    QPixmap pixmap =
        QPixmap::fromImage(RenderCursorImage(artworkName(resource.shape), resource.pixels));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    const int hotSpot =
        static_cast<int>(std::lround(resource.pixels * kHotSpotShare / devicePixelRatio));
    return QCursor(pixmap, hotSpot, hotSpot);
}

void PresentationCursor::Set(QWidget& widget, const std::optional<CursorResource>& resource) {
    const qreal ratio = widget.devicePixelRatioF();
    if (set_ && resource == shown_ && ratio == shownRatio_) {
        return;
    }
    if (resource) {
        widget.setCursor(imageOf(*resource, ratio));
    } else {
        widget.setCursor(Qt::ArrowCursor);
    }
    shown_ = resource;
    shownRatio_ = ratio;
    set_ = true;
}

const QCursor& PresentationCursor::imageOf(const CursorResource& resource, qreal devicePixelRatio) {
    if (devicePixelRatio != imagesRatio_) {
        images_.clear();
        imagesRatio_ = devicePixelRatio;
    }
    const std::pair key(resource.shape, resource.pixels);
    auto found = images_.find(key);
    if (found == images_.end()) {
        found = images_.emplace(key, PresentationCursorImage(resource, devicePixelRatio)).first;
    }
    return found->second;
}

} // namespace ombrix::shell
