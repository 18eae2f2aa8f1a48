#include "screenshot/ScreenshotFile.h"

#include "screenshot/ScreenshotFormat.h"

#include <QDir>

namespace ombrix::screenshot {

namespace {

constexpr int kCounterDigits = 4;

QString numberedFileName(const settings::ScreenshotSettings& settings, const QString& extension) {
    return settings.Prefix() +
           QStringLiteral("%1").arg(settings.Counter(), kCounterDigits, 10, QChar(u'0')) + u'.' +
           extension;
}

QString inFolder(const settings::ScreenshotSettings& settings, const QString& name) {
    const QString folder = QDir::toNativeSeparators(settings.Folder());
    if (name.isEmpty() || folder.isEmpty()) {
        return name;
    }
    return folder.endsWith(QDir::separator()) ? folder + name : folder + QDir::separator() + name;
}

} // namespace

QString ScreenshotFileName(const settings::ScreenshotSettings& settings) {
    const std::optional<ScreenshotFormat> format = FormatAt(settings.Format());
    if (!format) {
        return {};
    }
    return numberedFileName(settings, QLatin1String(format->extension));
}

QString ScreenshotFilePath(const settings::ScreenshotSettings& settings) {
    return inFolder(settings, ScreenshotFileName(settings));
}

QString NumberedFilePath(const settings::ScreenshotSettings& settings, const QString& extension) {
    return inFolder(settings, numberedFileName(settings, extension));
}

std::uint32_t NextCounter(std::uint32_t counter) {
    return counter >= kMaxCounter ? 0 : counter + 1;
}

} // namespace ombrix::screenshot
