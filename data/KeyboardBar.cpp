#include "KeyboardBar.h"

#include <QFont>
#include <QPainter>

namespace ombrix::data {

KeyboardBar::KeyboardBar(const std::vector<QString>& labels)
    : image_(kImageSize * static_cast<int>(labels.size()), kImageSize, QImage::Format_RGB32) {
    image_.fill(QColor(240, 240, 240));
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        paintImage(painter, static_cast<int>(i), labels[i]);
    }
}

void KeyboardBar::paintImage(QPainter& painter, int position, const QString& label) const {
    const QRectF key(position * kImageSize + 4, 4, kImageSize - 8, kImageSize - 8);
    painter.setPen(QPen(QColor(40, 44, 50), 1.5));
    painter.setBrush(QColor(110, 150, 200));
    painter.drawRoundedRect(key, 7, 7);
    painter.setPen(Qt::white);
    painter.setFont(QFont("DejaVu Sans", label.size() > 3 ? 7 : 10, QFont::Bold));
    painter.drawText(key, Qt::AlignCenter, label);
}

} // namespace ombrix::data
