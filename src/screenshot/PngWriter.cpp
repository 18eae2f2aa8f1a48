#include "screenshot/PngWriter.h"

#include "screenshot/ComposeScreenshot.h"

#include <QImageWriter>

namespace ombrix::screenshot {

bool SavePng(const render::CLumImage& image, const QString& path, int zoom, QString& error) {
    if (image.IsEmpty()) {
        error = QStringLiteral("the image is empty");
        return false;
    }
    if (zoom < 1) {
        error = QStringLiteral("the zoom is below 1");
        return false;
    }
    QImageWriter writer(path, "png");
    if (!writer.write(Zoomed(image, zoom))) {
        error = writer.errorString();
        return false;
    }
    return true;
}

} // namespace ombrix::screenshot
