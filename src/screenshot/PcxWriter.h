#pragma once

#include "render/CLumImage.h"

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

namespace ombrix::screenshot {

// The run-length code of one plane of one row: each run of equal source
// values, `zoom` times as long, as count bytes (0xC0 | n, n up to 63) and
// values; a single value below 0xC0 stands alone. Nothing for a zoom below 1.
std::vector<std::uint8_t> EncodePcxPlane(std::span<const std::uint8_t> values, int zoom);

// Writes `image`, each pixel `zoom` x `zoom`, as a ZSoft PCX version 5 file of
// three 8-bit planes, to `path`. Never overwrites: a file that already holds
// bytes fails. False on failure, with the reason in `error`.
bool SavePcx(const render::CLumImage& image, const QString& path, int zoom, QString& error);

} // namespace ombrix::screenshot
