#include "shell/Artwork.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace ombrix::shell {

namespace {

QString toolbarImage(const QString& name) {
    return QStringLiteral(":/ombrix/toolbar/%1.svg").arg(name);
}

QString cursorImage(const QString& name) {
    return QStringLiteral(":/ombrix/cursors/%1.svg").arg(name);
}

const QString kApplicationIcon = QStringLiteral(":/ombrix/icons/ombrix.svg");

} // namespace

QImage RenderToolbarStrip(const QStringList& names, QSize imageSize, int scale) {
    const QSize size = imageSize * scale;
    QImage strip(size.width() * static_cast<int>(names.size()), size.height(),
                 QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    for (int i = 0; i < names.size(); ++i) {
        QSvgRenderer renderer(toolbarImage(names[i]));
        if (!renderer.isValid()) {
            return {};
        }
        renderer.render(&painter, QRectF(QPointF(i * size.width(), 0), size));
    }
    return strip;
}

QImage RenderCursorImage(const QString& name, int pixels) {
    QSvgRenderer renderer(cursorImage(name));
    if (!renderer.isValid()) {
        return {};
    }
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return image;
}

QIcon ApplicationIcon() {
    QSvgRenderer renderer(kApplicationIcon);
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace ombrix::shell
