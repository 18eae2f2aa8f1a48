#include "screenshot/ComposeScreenshot.h"

#include "render/ImageOps.h"

#include <algorithm>

namespace ombrix::screenshot {

namespace {

constexpr int kBlack = 2;
constexpr int kMargin = 4; // the black and the white border
constexpr base::Pixel kWhitePixel = 0xFFFFFF;

} // namespace

render::CLumImage ComposeScreenshot(const render::CLumImage& screen) {
    render::CLumImage framed;
    if (screen.IsEmpty() ||
        !framed.Create(screen.Width() + 2 * kMargin, screen.Height() + 2 * kMargin)) {
        return framed;
    }
    for (int y = kBlack; y < framed.Height() - kBlack; ++y) {
        base::Pixel* row = framed.Row(y);
        std::fill(row + kBlack, row + framed.Width() - kBlack, kWhitePixel);
    }
    render::CopyPixels(framed, kMargin, kMargin, screen, 0, 0, screen.Width(), screen.Height());
    return framed;
}

render::CLumImage Enlarged(const render::CLumImage& image, int zoom) {
    if (zoom <= 1) {
        return image;
    }
    render::CLumImage large;
    if (!large.Create(image.Width() * zoom, image.Height() * zoom)) {
        return large;
    }
    for (int y = 0; y < large.Height(); ++y) {
        const base::Pixel* source = image.Row(y / zoom);
        base::Pixel* row = large.Row(y);
        for (int x = 0; x < large.Width(); ++x) {
            row[x] = source[x / zoom];
        }
    }
    return large;
}

QImage Zoomed(const render::CLumImage& image, int zoom) {
    return Enlarged(image, zoom).AsQImage().copy();
}

bool CanWrite(const render::CLumImage& image, int zoom, QString& error) {
    if (image.IsEmpty()) {
        error = QStringLiteral("the image is empty");
        return false;
    }
    if (zoom < 1) {
        error = QStringLiteral("the zoom is below 1");
        return false;
    }
    return true;
}

} // namespace ombrix::screenshot
