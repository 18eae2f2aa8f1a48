#include "recording/RecordingFormat.h"

#include <QFileInfo>

namespace ombrix::recording {

std::optional<RecordingFormat> RecordingFormatAt(std::uint32_t index) {
    if (index >= kRecordingFormats.size()) {
        return std::nullopt;
    }
    return kRecordingFormats[index];
}

std::optional<RecordingFormat> RecordingFormatOfFileName(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("apng")) {
        return kRecordingFormats[RecordingFormat::Png];
    }
    for (const RecordingFormat& format : kRecordingFormats) {
        if (suffix == QLatin1String(format.extension)) {
            return format;
        }
    }
    return std::nullopt;
}

} // namespace ombrix::recording
