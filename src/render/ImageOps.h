#pragma once

#include "render/CLumImage.h"

#include <cstdint>

namespace ombrix::render {

// Copies the w x h rectangle at (sx, sy) of `source` to (tx, ty) of `target`,
// skipping pixels whose colour is `transparentPixel` (0x00RRGGBB). Both
// rectangles are clipped to their images.
void CopyOpaquePixels(CLumImage& target, int tx, int ty, const CLumImage& source, int sx, int sy,
                      int w, int h, std::uint32_t transparentPixel);

// Copies the rectangle like CopyOpaquePixels, every pixel included.
void CopyPixels(CLumImage& target, int tx, int ty, const CLumImage& source, int sx, int sy, int w,
                int h);

// Sets every pixel of colour `fromPixel` to `toPixel` (0x00RRGGBB).
void ReplaceColor(CLumImage& image, std::uint32_t fromPixel, std::uint32_t toPixel);

} // namespace ombrix::render
