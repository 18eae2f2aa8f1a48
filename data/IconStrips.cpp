#include "IconStrips.h"

#include <QPainter>

namespace ombrix::data {

namespace {

// Every band's icon gets its own slot across the panel, so that icons of the
// same strip never cover each other when several are shown.
constexpr int kSlots = 16;

QImage whitePicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

IconStrips::IconStrips(int displayWidth, int panelHeight)
    : width_(displayWidth), panelHeight_(panelHeight),
      emptyPanel_(whitePicture(displayWidth, panelHeight)) {
    for (std::size_t i = 0; i < strips_.size(); ++i) {
        strips_[i] = drawStrip(i);
    }
}

QImage IconStrips::drawStrip(std::size_t stripIndex) const {
    QImage strip = whitePicture(width_, kBandCounts.at(stripIndex) * panelHeight_);
    for (int band = 0; band < kBandCounts.at(stripIndex); ++band) {
        drawIcon(strip, stripIndex, band);
    }
    return strip;
}

// Strip 0 holds bar meters of rising height, strip 1 rings, strip 2 arrows:
// three shapes, so the strips can be told apart on the panel.
void IconStrips::drawIcon(QImage& strip, std::size_t stripIndex, int band) const {
    QPainter painter(&strip);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    const int slotWidth = width_ / kSlots;
    const int left = band * slotWidth + 1;
    const int top = band * panelHeight_ + 1;
    const int size = std::max(1, std::min(slotWidth, panelHeight_) - 2);
    if (stripIndex == 0) {
        const int height = 1 + (size - 1) * (band + 1) / kBandCounts[0];
        painter.fillRect(left, top + size - height, std::max(1, size - 1), height, Qt::black);
    } else if (stripIndex == 1) {
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(left, top, size - 1, size - 1);
    } else {
        const QPoint tip(left + size - 1, top + size / 2);
        painter.drawPolygon(QPolygon({QPoint(left, top), tip, QPoint(left, top + size - 1)}));
    }
}

} // namespace ombrix::data
