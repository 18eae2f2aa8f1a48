#include "render/ImageOps.h"

#include <algorithm>

namespace ombrix::render {

namespace {

constexpr std::uint32_t kColourBits = 0x00FFFFFFu;

// The part of a w x h copy that lies inside both images, as a source rectangle
// and the target's top-left corner.
struct Span {
    int sx, sy, tx, ty, w, h;
};

Span clipped(const CLumImage& target, int tx, int ty, const CLumImage& source, int sx, int sy,
             int w, int h) {
    // Move the corners in together until both lie inside their images.
    const int shiftX = std::max({0, -sx, -tx});
    const int shiftY = std::max({0, -sy, -ty});
    Span span{sx + shiftX, sy + shiftY, tx + shiftX, ty + shiftY, w - shiftX, h - shiftY};
    span.w = std::min({span.w, source.Width() - span.sx, target.Width() - span.tx});
    span.h = std::min({span.h, source.Height() - span.sy, target.Height() - span.ty});
    return span;
}

template <typename Copy>
void forEachPixel(CLumImage& target, int tx, int ty, const CLumImage& source, int sx, int sy, int w,
                  int h, Copy copy) {
    const Span span = clipped(target, tx, ty, source, sx, sy, w, h);
    for (int y = 0; y < span.h; ++y) {
        const base::Pixel* in = source.Row(span.sy + y) + span.sx;
        base::Pixel* out = target.Row(span.ty + y) + span.tx;
        for (int x = 0; x < span.w; ++x) {
            copy(in[x], out[x]);
        }
    }
}

} // namespace

void CopyOpaquePixels(CLumImage& target, int tx, int ty, const CLumImage& source, int sx, int sy,
                      int w, int h, base::Pixel transparent) {
    const base::Pixel key = transparent & kColourBits;
    forEachPixel(target, tx, ty, source, sx, sy, w, h, [key](base::Pixel in, base::Pixel& out) {
        if ((in & kColourBits) != key) {
            out = in;
        }
    });
}

void CopyPixels(CLumImage& target, int tx, int ty, const CLumImage& source, int sx, int sy, int w,
                int h) {
    forEachPixel(target, tx, ty, source, sx, sy, w, h,
                 [](base::Pixel in, base::Pixel& out) { out = in; });
}

void ReplaceColor(CLumImage& image, base::Pixel from, base::Pixel to) {
    const base::Pixel key = from & kColourBits;
    base::Pixel* pixels = image.Bits();
    const std::size_t count = static_cast<std::size_t>(image.Width()) * image.Height();
    std::replace_if(
        pixels, pixels + count, [key](base::Pixel p) { return (p & kColourBits) == key; }, to);
}

} // namespace ombrix::render
