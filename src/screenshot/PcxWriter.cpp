#include "screenshot/PcxWriter.h"

#include "screenshot/ComposeScreenshot.h"

#include <QFile>
#include <QtEndian>
#include <array>

namespace ombrix::screenshot {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::uint8_t kManufacturer = 10;
constexpr std::uint8_t kVersion = 5;
constexpr std::uint8_t kRunLengthEncoding = 1;
constexpr std::uint8_t kBitsPerPlane = 8;
constexpr std::uint16_t kResolution = 300;
constexpr std::uint8_t kPlanes = 3;
constexpr std::uint16_t kColourPalette = 1;
constexpr std::uint8_t kCountMark = 0xC0;
constexpr std::uint32_t kLongestRun = 63;
// The header keeps sizes in 16 bits.
constexpr std::int64_t kLargestSide = 65535;

void put16(std::array<std::uint8_t, kHeaderSize>& header, std::size_t at, std::uint32_t value) {
    qToLittleEndian(static_cast<std::uint16_t>(value), header.data() + at);
}

std::array<std::uint8_t, kHeaderSize> header(int width, int height, int zoom) {
    const std::uint32_t wide = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(zoom);
    const std::uint32_t high =
        static_cast<std::uint32_t>(height) * static_cast<std::uint32_t>(zoom);
    std::array<std::uint8_t, kHeaderSize> bytes{};
    bytes[0] = kManufacturer;
    bytes[1] = kVersion;
    bytes[2] = kRunLengthEncoding;
    bytes[3] = kBitsPerPlane;
    put16(bytes, 8, wide - 1);
    put16(bytes, 10, high - 1);
    put16(bytes, 12, kResolution);
    put16(bytes, 14, kResolution);
    bytes[65] = kPlanes;
    put16(bytes, 66, wide + (wide % 2));
    put16(bytes, 68, kColourPalette);
    put16(bytes, 70, wide);
    put16(bytes, 72, high);
    return bytes;
}

void emitRun(std::vector<std::uint8_t>& out, std::uint32_t length, std::uint8_t value) {
    while (length >= 2 || (length == 1 && value >= kCountMark)) {
        const std::uint32_t part = std::min(length, kLongestRun);
        out.push_back(static_cast<std::uint8_t>(kCountMark | part));
        out.push_back(value);
        length -= part;
    }
    if (length == 1) {
        out.push_back(value);
    }
}

// One encoded row: the three planes, each followed by a pad byte when the
// line's width is odd.
std::vector<std::uint8_t> encodeRow(const render::CLumImage& image, int y, int zoom) {
    const int width = image.Width();
    const bool odd = (width * zoom) % 2 == 1;
    std::vector<std::uint8_t> row;
    std::vector<std::uint8_t> plane(static_cast<std::size_t>(width));
    for (const int shift : {16, 8, 0}) {
        for (int x = 0; x < width; ++x) {
            plane[static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>(image.Row(y)[x] >> shift);
        }
        const std::vector<std::uint8_t> encoded = EncodePcxPlane(plane, zoom);
        row.insert(row.end(), encoded.begin(), encoded.end());
        if (odd) {
            row.push_back(0);
        }
    }
    return row;
}

} // namespace

std::vector<std::uint8_t> EncodePcxPlane(std::span<const std::uint8_t> values, int zoom) {
    std::vector<std::uint8_t> out;
    if (zoom < 1) {
        return out;
    }
    out.reserve(2 * values.size() * static_cast<std::size_t>(zoom));
    for (std::size_t start = 0; start < values.size();) {
        std::size_t end = start + 1;
        while (end < values.size() && values[end] == values[start]) {
            ++end;
        }
        emitRun(out, static_cast<std::uint32_t>(end - start) * static_cast<std::uint32_t>(zoom),
                values[start]);
        start = end;
    }
    return out;
}

// Opened without truncating, so an existing picture is found and kept rather
// than replaced.
bool SavePcx(const render::CLumImage& image, const QString& path, int zoom, QString& error) {
    if (!CanWrite(image, zoom, error)) {
        return false;
    }
    if (std::int64_t(image.Width()) * zoom + 1 > kLargestSide ||
        std::int64_t(image.Height()) * zoom > kLargestSide) {
        error = QStringLiteral("the image is too large for PCX");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        error = file.errorString();
        return false;
    }
    if (file.size() > 0) {
        error = QStringLiteral("the file already exists");
        return false;
    }
    const auto head = header(image.Width(), image.Height(), zoom);
    bool written = file.write(reinterpret_cast<const char*>(head.data()), kHeaderSize) ==
                   static_cast<qint64>(kHeaderSize);
    for (int y = 0; y < image.Height() && written; ++y) {
        const std::vector<std::uint8_t> row = encodeRow(image, y, zoom);
        for (int copy = 0; copy < zoom && written; ++copy) {
            written =
                file.write(reinterpret_cast<const char*>(row.data()),
                           static_cast<qint64>(row.size())) == static_cast<qint64>(row.size());
        }
    }
    if (!written || !file.flush()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace ombrix::screenshot
