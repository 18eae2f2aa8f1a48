#include "screenshot/TiffWriter.h"

#include "screenshot/ComposeScreenshot.h"

#include <QFile>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <tiffio.h>
#include <vector>

namespace ombrix::screenshot {

namespace {

constexpr int kSamplesPerPixel = 3;
constexpr int kBitsPerSample = 8;

// libtiff's message for this file, kept instead of printed.
int keepMessage(TIFF*, void* userData, const char*, const char* format, va_list arguments) {
    std::array<char, 512> text{};
    std::vsnprintf(text.data(), text.size(), format, arguments);
    auto& message = *static_cast<QString*>(userData);
    if (message.isEmpty()) {
        message = QString::fromLocal8Bit(text.data());
    }
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

void setTags(TIFF* tiff, const render::CLumImage& image) {
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(image.Width()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(image.Height()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, kBitsPerSample);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_PACKBITS);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, kSamplesPerPixel);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 1);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_NONE);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
}

} // namespace

std::uint64_t WriteTiff(const QString& path, const render::CLumImage& image, QString& error) {
    if (!CanWrite(image, 1, error)) {
        return 0;
    }
    QString message;
    const std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(
        TIFFOpenOptionsAlloc(), TIFFOpenOptionsFree);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), keepMessage, &message);
    const std::unique_ptr<TIFF, TiffCloser> tiff(
        TIFFOpenExt(QFile::encodeName(path).constData(), "w", options.get()));
    if (!tiff) {
        error = message.isEmpty() ? QStringLiteral("it cannot be created") : message;
        return 0;
    }
    setTags(tiff.get(), image);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(image.Width()) * kSamplesPerPixel);
    for (int y = 0; y < image.Height(); ++y) {
        const base::Pixel* pixels = image.Row(y);
        for (int x = 0; x < image.Width(); ++x) {
            const auto at = static_cast<std::size_t>(x) * kSamplesPerPixel;
            row[at] = static_cast<std::uint8_t>(pixels[x] >> 16);
            row[at + 1] = static_cast<std::uint8_t>(pixels[x] >> 8);
            row[at + 2] = static_cast<std::uint8_t>(pixels[x]);
        }
        if (TIFFWriteScanline(tiff.get(), row.data(), static_cast<std::uint32_t>(y), 0) < 0) {
            error = message.isEmpty() ? QStringLiteral("a row cannot be written") : message;
            return 0;
        }
    }
    // Written out here rather than on close, where a full disk would go unseen.
    if (TIFFFlush(tiff.get()) == 0) {
        error = message.isEmpty() ? QStringLiteral("it cannot be written") : message;
        return 0;
    }
    return static_cast<std::uint64_t>(image.Width()) * static_cast<std::uint64_t>(image.Height());
}

} // namespace ombrix::screenshot
