#include "screenshot/SaveScreenshot.h"

#include "screenshot/PcxWriter.h"
#include "screenshot/PngWriter.h"
#include "screenshot/ScreenshotFile.h"
#include "screenshot/ScreenshotFormat.h"
#include "screenshot/TiffWriter.h"

#include <QDir>
#include <QFile>

namespace ombrix::screenshot {

namespace {

// Every counter once, and the one read from the settings if it lies beyond.
constexpr std::uint32_t kNamesToTry = kMaxCounter + 2;

// The settings with the first counter, from theirs on, whose file could be
// created here and now: the empty file holds the name, so another program
// saving at the same moment cannot take it too. None when no name can be had.
std::optional<settings::ScreenshotSettings> reserveFreeName(settings::ScreenshotSettings settings) {
    for (std::uint32_t tried = 0; tried < kNamesToTry; ++tried) {
        QFile file(ScreenshotFilePath(settings));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            return settings;
        }
        settings.SetCounter(NextCounter(settings.Counter()));
    }
    return std::nullopt;
}

bool write(ScreenshotFormat::Index format, const render::CLumImage& image, const QString& path,
           int zoom, QString& error) {
    switch (format) {
    case ScreenshotFormat::Tiff:
        return WriteTiff(path, image, error) != 0;
    case ScreenshotFormat::Pcx:
        return SavePcx(image, path, zoom, error);
    case ScreenshotFormat::Png:
        return SavePng(image, path, zoom, error);
    }
    return false;
}

} // namespace

ScreenshotOutcome SaveScreenshot(const render::CLumImage& image,
                                 const settings::ScreenshotSettings& settings, int zoom) {
    ScreenshotOutcome outcome;
    outcome.counter = settings.Counter();
    const std::optional<ScreenshotFormat> format = FormatAt(settings.Format());
    if (!format) {
        outcome.error = QStringLiteral("image format %1 is unknown").arg(settings.Format());
        return outcome;
    }
    // Until a free name is had, the outcome names the file the settings ask
    // for, and its number is used up as a failed write's is.
    outcome.path = ScreenshotFilePath(settings);
    outcome.nextCounter = NextCounter(settings.Counter());
    const QString folder = settings.Folder();
    if (!folder.isEmpty() && !QDir().mkpath(folder)) {
        outcome.error =
            QStringLiteral("the folder %1 cannot be created").arg(QDir::toNativeSeparators(folder));
        return outcome;
    }
    const std::optional<settings::ScreenshotSettings> free = reserveFreeName(settings);
    if (!free) {
        outcome.error = QStringLiteral("no file with this prefix can be created there");
        return outcome;
    }
    outcome.path = ScreenshotFilePath(*free);
    outcome.nextCounter = NextCounter(free->Counter());
    outcome.written = write(format->index, image, outcome.path, zoom, outcome.error);
    if (!outcome.written) {
        QFile::remove(outcome.path); // ours, and no picture
    }
    return outcome;
}

} // namespace ombrix::screenshot
