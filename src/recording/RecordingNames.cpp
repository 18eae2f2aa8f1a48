#include "recording/RecordingNames.h"

#include "screenshot/ScreenshotFile.h"

#include <QDir>
#include <QFile>

namespace ombrix::recording {

namespace {

// Every counter once, and the one read from the settings if it lies beyond.
constexpr std::uint32_t kNamesToTry = screenshot::kMaxCounter + 2;
const QString kSubtitlesExtension = QStringLiteral("vtt");

bool createNew(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

// Both files of the number, or neither.
std::optional<RecordingNames> reserve(const settings::ScreenshotSettings& settings,
                                      const RecordingFormat& format) {
    RecordingNames names{screenshot::NumberedFilePath(settings, QLatin1String(format.extension)),
                         {},
                         settings.Counter(),
                         screenshot::NextCounter(settings.Counter())};
    if (!createNew(names.video)) {
        return std::nullopt;
    }
    if (format.index == RecordingFormat::WebM) {
        names.subtitles = screenshot::NumberedFilePath(settings, kSubtitlesExtension);
        if (!createNew(names.subtitles)) {
            QFile::remove(names.video);
            return std::nullopt;
        }
    }
    return names;
}

} // namespace

std::optional<RecordingNames> ReserveRecordingNames(const settings::ScreenshotSettings& settings,
                                                    const RecordingFormat& format, QString& error) {
    const QString folder = settings.Folder();
    if (!folder.isEmpty() && !QDir().mkpath(folder)) {
        error =
            QStringLiteral("the folder %1 cannot be created").arg(QDir::toNativeSeparators(folder));
        return std::nullopt;
    }
    settings::ScreenshotSettings numbered = settings;
    for (std::uint32_t tried = 0; tried < kNamesToTry; ++tried) {
        if (std::optional<RecordingNames> names = reserve(numbered, format)) {
            return names;
        }
        numbered.SetCounter(screenshot::NextCounter(numbered.Counter()));
    }
    error = QStringLiteral("no file with this prefix can be created in %1")
                .arg(QDir::toNativeSeparators(folder));
    return std::nullopt;
}

} // namespace ombrix::recording
