// The files as other programs read them: TIFF through libtiff, PCX through a
// small decoder of its own, PNG through Qt.
#include "screenshot/PcxWriter.h"
#include "screenshot/PngWriter.h"
#include "screenshot/TiffWriter.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <gtest/gtest.h>
#include <tiffio.h>

namespace ombrix::screenshot {
namespace {

using Bytes = std::vector<std::uint8_t>;

render::CLumImage pattern(int width, int height) {
    render::CLumImage image;
    image.Create(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Runs of equal pixels and single ones, values above 0xC0 among them.
            image.SetPixel(x, y,
                           x < width / 2 ? 0x10C8F0u
                                         : static_cast<base::Pixel>(x * 0x0B0D11 + y * 0x3F));
        }
    }
    return image;
}

Bytes readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
}

std::uint16_t at16(const Bytes& bytes, std::size_t at) {
    return qFromLittleEndian<std::uint16_t>(bytes.data() + at);
}

// A PCX decoder for three 8-bit planes: the image it holds, each line padded
// to the header's bytes per line.
QImage decodePcx(const Bytes& file) {
    const int width = at16(file, 8) + 1;
    const int height = at16(file, 10) + 1;
    const int perLine = at16(file, 66);
    QImage image(width, height, QImage::Format_RGB32);
    std::size_t at = 128;
    Bytes line;
    for (int y = 0; y < height; ++y) {
        line.clear();
        while (line.size() < static_cast<std::size_t>(3 * perLine) && at < file.size()) {
            const std::uint8_t byte = file[at++];
            if ((byte & 0xC0) == 0xC0) {
                line.insert(line.end(), byte & 0x3F, file[at++]);
            } else {
                line.push_back(byte);
            }
        }
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(line[x], line[perLine + x], line[2 * perLine + x]));
        }
    }
    return image;
}

TEST(PcxWriterTest, RunsAreCodedAsTheFormatSays) {
    EXPECT_EQ(EncodePcxPlane(Bytes(100, 0x10), 1), (Bytes{0xFF, 0x10, 0xE5, 0x10}));
    EXPECT_EQ(EncodePcxPlane(Bytes{0xC8}, 1), (Bytes{0xC1, 0xC8}));
    EXPECT_EQ(EncodePcxPlane(Bytes{0x05, 0x07, 0x07}, 1), (Bytes{0x05, 0xC2, 0x07}));
    EXPECT_EQ(EncodePcxPlane(Bytes{0x05, 0x07}, 2), (Bytes{0xC2, 0x05, 0xC2, 0x07}));
    EXPECT_EQ(EncodePcxPlane(Bytes(64, 0xC8), 1), (Bytes{0xFF, 0xC8, 0xC1, 0xC8}));
    EXPECT_EQ(EncodePcxPlane(Bytes(63, 0x10), 1), (Bytes{0xFF, 0x10}));
    EXPECT_EQ(EncodePcxPlane(Bytes(64, 0x10), 1), (Bytes{0xFF, 0x10, 0x10}));
    EXPECT_EQ(EncodePcxPlane(Bytes(32, 0x10), 2), (Bytes{0xFF, 0x10, 0x10})) << "64 after the zoom";
    EXPECT_TRUE(EncodePcxPlane(Bytes(3, 0x10), 0).empty());
}

TEST(PcxWriterTest, FilesDecodeToTheImageAtEveryZoomAndWidth) {
    QTemporaryDir scratch;
    for (const auto& [width, zoom] : {std::pair{3, 1}, {3, 2}, {75, 1}, {75, 3}, {136, 2}}) {
        SCOPED_TRACE(testing::Message() << width << " x" << zoom);
        const render::CLumImage image = pattern(width, 5);
        const QString path = scratch.filePath(QStringLiteral("%1-%2.pcx").arg(width).arg(zoom));
        QString error;
        ASSERT_TRUE(SavePcx(image, path, zoom, error)) << error.toStdString();
        const Bytes file = readAll(path);
        ASSERT_GT(file.size(), 128u);
        EXPECT_EQ(file[0], 10);
        EXPECT_EQ(file[1], 5);
        EXPECT_EQ(file[2], 1);
        EXPECT_EQ(file[3], 8);
        EXPECT_EQ(file[65], 3);
        EXPECT_EQ(at16(file, 12), 300);
        EXPECT_EQ(at16(file, 66), (width * zoom + 1) / 2 * 2) << "even bytes per line";
        EXPECT_EQ(at16(file, 68), 1);
        EXPECT_EQ(at16(file, 70), width * zoom);
        EXPECT_EQ(at16(file, 72), 5 * zoom);
        for (const auto& [from, to] : {std::pair{4, 8}, {16, 65}, {74, 128}}) {
            EXPECT_EQ(std::count(file.begin() + from, file.begin() + to, 0), to - from)
                << "zero header bytes " << from << " to " << to - 1;
        }
        const QImage decoded = decodePcx(file);
        const QImage expected =
            image.AsQImage()
                .convertToFormat(QImage::Format_RGB32)
                .scaled(width * zoom, 5 * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        EXPECT_EQ(decoded, expected);
    }
}

TEST(PcxWriterTest, AThreePixelLinePadsEachPlaneWithAZero) {
    QTemporaryDir scratch;
    render::CLumImage image;
    image.Create(3, 1);
    image.SetPixel(0, 0, 0x010203);
    image.SetPixel(1, 0, 0x040506);
    image.SetPixel(2, 0, 0x070809);
    const QString path = scratch.filePath(QStringLiteral("three.pcx"));
    QString error;
    ASSERT_TRUE(SavePcx(image, path, 1, error));
    const Bytes file = readAll(path);
    EXPECT_EQ(Bytes(file.begin() + 128, file.end()), (Bytes{1, 4, 7, 0, 2, 5, 8, 0, 3, 6, 9, 0}));

    // Never over a file that holds anything.
    ASSERT_FALSE(SavePcx(pattern(8, 8), path, 1, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(path), file);
}

TEST(TiffWriterTest, TagsAndPixelsReadBackThroughLibtiff) {
    QTemporaryDir scratch;
    const render::CLumImage image = pattern(37, 9);
    const QString path = scratch.filePath(QStringLiteral("shot.tiff"));
    QString error;
    ASSERT_EQ(WriteTiff(path, image, error), 37u * 9u) << error.toStdString();

    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    ASSERT_NE(tiff, nullptr);
    const auto tag32 = [&](ttag_t tag) {
        std::uint32_t value = 0;
        TIFFGetField(tiff, tag, &value);
        return value;
    };
    const auto tag16 = [&](ttag_t tag) {
        std::uint16_t value = 0;
        TIFFGetField(tiff, tag, &value);
        return value;
    };
    EXPECT_EQ(tag32(TIFFTAG_IMAGEWIDTH), 37u);
    EXPECT_EQ(tag32(TIFFTAG_IMAGELENGTH), 9u);
    EXPECT_EQ(tag16(TIFFTAG_BITSPERSAMPLE), 8);
    EXPECT_EQ(tag16(TIFFTAG_COMPRESSION), 32773);
    EXPECT_EQ(tag16(TIFFTAG_PHOTOMETRIC), 2);
    EXPECT_EQ(tag16(TIFFTAG_SAMPLESPERPIXEL), 3);
    EXPECT_EQ(tag32(TIFFTAG_ROWSPERSTRIP), 1u);
    EXPECT_EQ(tag16(TIFFTAG_PLANARCONFIG), 1);
    EXPECT_EQ(tag16(TIFFTAG_RESOLUTIONUNIT), 1);
    EXPECT_EQ(tag16(TIFFTAG_ORIENTATION), 1);
    Bytes row(static_cast<std::size_t>(TIFFScanlineSize(tiff)));
    for (int y = 0; y < 9; ++y) {
        ASSERT_EQ(TIFFReadScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0), 1);
        for (int x = 0; x < 37; ++x) {
            const base::Pixel pixel = image.Pixel(x, y);
            ASSERT_EQ(qRgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]),
                      qRgb(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF))
                << x << "," << y;
        }
    }
    TIFFClose(tiff);

    EXPECT_EQ(WriteTiff(scratch.filePath(QStringLiteral("no/such/folder/x.tiff")), image, error),
              0u);
    EXPECT_FALSE(error.isEmpty());
}

TEST(PngWriterTest, TheZoomEnlargesEachPixelSharply) {
    QTemporaryDir scratch;
    const render::CLumImage image = pattern(9, 4);
    const QString path = scratch.filePath(QStringLiteral("shot.png"));
    QString error;
    ASSERT_TRUE(SavePng(image, path, 3, error)) << error.toStdString();
    const QImage read(path);
    ASSERT_EQ(read.size(), QSize(27, 12));
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 27; ++x) {
            ASSERT_EQ(read.pixel(x, y) & RGB_MASK, image.Pixel(x / 3, y / 3)) << x << "," << y;
        }
    }
}

} // namespace
} // namespace ombrix::screenshot
