#pragma once

#include "render/CLumImage.h"

#include <QString>
#include <cstdint>

namespace ombrix::screenshot {

// Writes `image` to `path` as an RGB TIFF, 8 bits a sample, PackBits, one row
// a strip, replacing the file. Returns the pixels written; 0 on failure, with
// the reason in `error`.
std::uint64_t WriteTiff(const QString& path, const render::CLumImage& image, QString& error);

} // namespace ombrix::screenshot
