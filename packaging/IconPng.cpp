// ombrix-iconpng SVG PNG SIDE: draws the application icon at SIDE x SIDE
// pixels for the icon theme's fixed sizes, at build time.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: ombrix-iconpng SVG PNG SIDE\n");
        return 64;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication application(argc, argv);
    const int side = QByteArray(argv[3]).toInt();
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid() || side <= 0) {
        std::fprintf(stderr, "ombrix-iconpng: cannot draw %s at %s pixels\n", argv[1], argv[3]);
        return 1;
    }
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "ombrix-iconpng: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
