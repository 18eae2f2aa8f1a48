#include "screenshot/PngWriter.h"

#include "screenshot/ComposeScreenshot.h"

#include <QImageWriter>

namespace ombrix::screenshot {

bool SavePng(const render::CLumImage& image, const QString& path, int zoom, QString& error) {
    if (!CanWrite(image, zoom, error)) {
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
