#pragma once

#include "recording/RecordingFormat.h"
#include "settings/ScreenshotSettings.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace ombrix::recording {

// The files of a recording, reserved: created empty, so no other program
// saving at the same moment takes their names.
struct RecordingNames {
    QString video;
    QString subtitles;             // beside a WebM; empty for the other formats
    std::uint32_t counter = 0;     // the number they carry
    std::uint32_t nextCounter = 0; // the number after it
};

// Names a recording as screenshots are named (the settings' folder, prefix and
// counter, the format's extension), moving on to the next number while a file
// of that name exists, so nothing is ever overwritten. The folder is created
// when missing. None, with the reason in `error`, when no name can be had.
std::optional<RecordingNames> ReserveRecordingNames(const settings::ScreenshotSettings& settings,
                                                    const RecordingFormat& format, QString& error);

} // namespace ombrix::recording
