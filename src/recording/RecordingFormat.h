#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace ombrix::recording {

// A file format of recordings, by its index in the screenshot settings.
struct RecordingFormat {
    enum Index : std::uint32_t { WebM = 0, Gif = 1, Png = 2 };

    Index index;
    const char* extension;
    const char* name;  // as the settings dialog lists it
    const char* muxer; // FFmpeg's name of the container
};

inline constexpr std::array<RecordingFormat, 3> kRecordingFormats = {{
    {RecordingFormat::WebM, "webm", "WebM (VP9, lossless)", "webm"},
    {RecordingFormat::Gif, "gif", "GIF (animated)", "gif"},
    {RecordingFormat::Png, "png", "PNG (animated)", "apng"},
}};

// The format with the index; none for an index outside the table.
std::optional<RecordingFormat> RecordingFormatAt(std::uint32_t index);

// The format a file name's extension names (any case; ".apng" is PNG too);
// none for any other extension.
std::optional<RecordingFormat> RecordingFormatOfFileName(const QString& fileName);

} // namespace ombrix::recording
