#pragma once

#include "settings/ScreenshotSettings.h"

#include <QString>
#include <cstdint>

namespace ombrix::screenshot {

// The highest counter; the one after it is 0.
inline constexpr std::uint32_t kMaxCounter = 9999;

// The prefix, the counter with at least four digits and the format's
// extension: "img0007.tiff". Empty for a format outside the table.
QString ScreenshotFileName(const settings::ScreenshotSettings& settings);
// The folder and the file name with the system's separator between them; the
// name alone for an empty folder. Empty for a format outside the table.
QString ScreenshotFilePath(const settings::ScreenshotSettings& settings);
// The same path with another extension (without the dot): recordings are
// named as screenshots are.
QString NumberedFilePath(const settings::ScreenshotSettings& settings, const QString& extension);
// The counter after `counter`: one more, and 0 after 9999.
std::uint32_t NextCounter(std::uint32_t counter);

} // namespace ombrix::screenshot
