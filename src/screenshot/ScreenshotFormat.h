#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace ombrix::screenshot {

// An image file format of screenshots, by its index in the settings.
struct ScreenshotFormat {
    enum Index : std::uint32_t { Tiff = 0, Pcx = 1, Png = 2 };

    Index index;
    const char* extension;
    const char* name; // as the settings dialog lists it
};

inline constexpr std::array<ScreenshotFormat, 3> kScreenshotFormats = {{
    {ScreenshotFormat::Tiff, "tiff", "tiff"},
    {ScreenshotFormat::Pcx, "pcx", "pcx"},
    {ScreenshotFormat::Png, "png", "png"},
}};

// The format with the index; none for an index outside the table.
std::optional<ScreenshotFormat> FormatAt(std::uint32_t index);

// The format a file name's extension names (any case; ".tif" is TIFF too).
std::optional<ScreenshotFormat> FormatOfFileName(const QString& fileName);

} // namespace ombrix::screenshot
