#pragma once

#include "render/CLumImage.h"

#include <QString>

namespace ombrix::screenshot {

// Writes `image`, each pixel `zoom` x `zoom` and sharp, as a PNG file to `path`.
// False on failure, with the reason in `error`.
bool SavePng(const render::CLumImage& image, const QString& path, int zoom, QString& error);

} // namespace ombrix::screenshot
