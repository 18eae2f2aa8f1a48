#include "screenshot/ScreenshotFormat.h"

#include <QFileInfo>

namespace ombrix::screenshot {

std::optional<ScreenshotFormat> FormatAt(std::uint32_t index) {
    if (index >= kScreenshotFormats.size()) {
        return std::nullopt;
    }
    return kScreenshotFormats[index];
}

std::optional<ScreenshotFormat> FormatOfFileName(const QString& fileName) {
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (extension == QStringLiteral("tif")) {
        return kScreenshotFormats[ScreenshotFormat::Tiff];
    }
    for (const ScreenshotFormat& format : kScreenshotFormats) {
        if (extension == QLatin1String(format.extension)) {
            return format;
        }
    }
    return std::nullopt;
}

} // namespace ombrix::screenshot
