#pragma once

#include "base/Colors.h"
#include "render/CLumImage.h"

#include <cstdint>

namespace ombrix::render {

// Copies the w x h rectangle at (sx, sy) of `source` to (tx, ty) of `target`,
// skipping pixels of the colour `transparent`. Both
// rectangles are clipped to their images.
void CopyOpaquePixels(CLumImage& target, int tx, int ty, const CLumImage& source, int sx, int sy,
                      int w, int h, base::Pixel transparent);

// Copies the rectangle like CopyOpaquePixels, every pixel included.
void CopyPixels(CLumImage& target, int tx, int ty, const CLumImage& source, int sx, int sy, int w,
                int h);

// Sets every pixel of the colour `from` to `to`.
void ReplaceColor(CLumImage& image, base::Pixel from, base::Pixel to);

} // namespace ombrix::render
