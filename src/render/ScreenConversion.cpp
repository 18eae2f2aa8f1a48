#include "render/ScreenConversion.h"

#include <algorithm>
#include <array>

namespace ombrix::render {

namespace {

using session::Bytes;
using session::DisplayParameters;
using session::Palette;

// Columns converted together, so that each output row is written in runs
// rather than one pixel per row.
constexpr int kColumnBlock = 16;
constexpr std::uint32_t kMaxTranslatedBits = 16;
constexpr std::uint32_t kMaxStreamBits = 32;
constexpr std::uint32_t kMaxLookupBits = 16;

struct DisplayArea {
    int top = 0;
    int columns = 0;    // display columns that fit in the image
    int rows = 0;       // display rows that fit in the image
    int columnStep = 0; // pixels per column in the data: the display height
};

DisplayArea displayArea(const CLumImage& screen, const ScreenGeometry& geometry,
                        std::uint32_t bitsPerPixel) {
    DisplayArea area;
    area.top = DisplayTop(geometry, bitsPerPixel);
    area.columns = std::clamp(geometry.displayWidth, 0, screen.Width());
    area.rows = std::clamp(geometry.displayHeight, 0, std::max(screen.Height() - area.top, 0));
    area.columnStep = std::max(geometry.displayHeight, 0);
    return area;
}

// Writes pixel `index` (column-major: index = column * height + row) for every
// display pixel below `available`, from column `firstColumn` on. Whole columns take the fast path;
// only a column that the data ends in is checked pixel by pixel.
template <typename Fetch>
void writeColumnMajor(CLumImage& screen, const DisplayArea& area, std::size_t available,
                      int firstColumn, Fetch fetch) {
    const std::size_t step = static_cast<std::size_t>(area.columnStep);
    const std::size_t complete = step == 0 ? 0 : available / step;
    const int fullColumns = static_cast<int>(std::min<std::size_t>(area.columns, complete));
    for (int first = firstColumn; first < fullColumns; first += kColumnBlock) {
        const int count = std::min(kColumnBlock, fullColumns - first);
        std::size_t base[kColumnBlock];
        for (int k = 0; k < count; ++k) {
            base[k] = static_cast<std::size_t>(first + k) * step;
        }
        for (int row = 0; row < area.rows; ++row) {
            std::uint32_t* out = screen.Row(area.top + row) + first;
            for (int k = 0; k < count; ++k) {
                out[k] = fetch(base[k] + static_cast<std::size_t>(row));
            }
        }
    }
    if (fullColumns < area.columns && fullColumns >= firstColumn) {
        const std::size_t base = static_cast<std::size_t>(fullColumns) * step;
        for (int row = 0; row < area.rows && base + static_cast<std::size_t>(row) < available;
             ++row) {
            screen.Row(area.top + row)[fullColumns] = fetch(base + static_cast<std::size_t>(row));
        }
    }
}

// Pixel words for every value of a bit depth: palette entries, black beyond
// the palette.
std::vector<base::Pixel> lookupTable(std::uint32_t bitsPerPixel, const Palette& palette) {
    std::vector<base::Pixel> table(std::size_t{1} << bitsPerPixel, 0u);
    std::copy_n(palette.begin(), std::min(palette.size(), table.size()), table.begin());
    return table;
}

// Reads `bits` bits at bit offset `position` of a least-significant-first stream.
std::uint32_t streamValue(const Bytes& data, std::uint64_t position, std::uint32_t bits) {
    const std::size_t first = static_cast<std::size_t>(position / 8);
    const unsigned shift = static_cast<unsigned>(position % 8);
    const unsigned byteCount = (shift + bits + 7) / 8;
    std::uint64_t chunk = 0;
    for (unsigned k = 0; k < byteCount; ++k) {
        chunk |= static_cast<std::uint64_t>(data[first + k]) << (8 * k);
    }
    const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
    return static_cast<std::uint32_t>((chunk >> shift) & mask);
}

// Depths that never cross a byte boundary, with the depth known at compile time.
// When every column starts on a byte, each byte is read once and unpacked into
// the rows it holds.
template <std::uint32_t Bits>
void convertAligned(CLumImage& screen, const DisplayArea& area, const std::uint32_t* table,
                    const Bytes& data) {
    constexpr std::uint32_t mask = (1u << Bits) - 1u;
    constexpr std::size_t perByte = 8 / Bits;
    const std::uint8_t* bytes = data.data();
    const auto pixel = [bytes, table](std::size_t index) {
        const unsigned shift = static_cast<unsigned>((index % perByte) * Bits);
        return table[(bytes[index / perByte] >> shift) & mask];
    };
    const std::size_t step = static_cast<std::size_t>(area.columnStep);
    if (perByte == 1 || step % perByte != 0 || step == 0) {
        writeColumnMajor(screen, area, data.size() * perByte, 0, pixel);
        return;
    }
    const std::size_t bytesPerColumn = step / perByte;
    const int fullColumns =
        static_cast<int>(std::min<std::size_t>(area.columns, data.size() / bytesPerColumn));
    for (int first = 0; first < fullColumns; first += kColumnBlock) {
        const int count = std::min(kColumnBlock, fullColumns - first);
        for (int rowByte = 0;
             static_cast<std::size_t>(rowByte) * perByte < static_cast<std::size_t>(area.rows);
             ++rowByte) {
            std::uint8_t packed[kColumnBlock];
            for (int k = 0; k < count; ++k) {
                packed[k] = bytes[static_cast<std::size_t>(first + k) * bytesPerColumn +
                                  static_cast<std::size_t>(rowByte)];
            }
            const int firstRow = rowByte * static_cast<int>(perByte);
            const int lastRow = std::min(firstRow + static_cast<int>(perByte), area.rows);
            for (int row = firstRow; row < lastRow; ++row) {
                std::uint32_t* out = screen.Row(area.top + row) + first;
                const unsigned shift = static_cast<unsigned>(row - firstRow) * Bits;
                for (int k = 0; k < count; ++k) {
                    out[k] = table[(packed[k] >> shift) & mask];
                }
            }
        }
    }
    writeColumnMajor(screen, area, data.size() * perByte, fullColumns, pixel);
}

void convertBitStream(CLumImage& screen, const DisplayArea& area, std::uint32_t bits,
                      const Palette& palette, const Bytes& data) {
    const std::size_t available = data.size() * 8 / bits;
    if (bits > kMaxLookupBits) {
        writeColumnMajor(screen, area, available, 0, [&](std::size_t index) {
            const std::uint32_t value = streamValue(data, std::uint64_t{index} * bits, bits);
            return value < palette.size() ? palette[value] : 0u;
        });
        return;
    }
    const std::vector<std::uint32_t> table = lookupTable(bits, palette);
    switch (bits) {
    case 1:
        return convertAligned<1>(screen, area, table.data(), data);
    case 2:
        return convertAligned<2>(screen, area, table.data(), data);
    case 4:
        return convertAligned<4>(screen, area, table.data(), data);
    case 8:
        return convertAligned<8>(screen, area, table.data(), data);
    default:
        writeColumnMajor(screen, area, available, 0, [&](std::size_t index) {
            return table[streamValue(data, std::uint64_t{index} * bits, bits)];
        });
    }
}

void convertTranslated(CLumImage& screen, const DisplayArea& area,
                       const session::PixelTranslator& translator, const Bytes& data) {
    // A translation is made of shifts and masks, so it distributes over the two
    // bytes of a word: one table per byte replaces per-pixel arithmetic.
    std::array<std::uint32_t, 256> low{};
    std::array<std::uint32_t, 256> high{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        low[byte] = translator.Translate(byte);
        high[byte] = translator.Translate(byte << 8);
    }
    writeColumnMajor(screen, area, data.size() / 2, 0, [&](std::size_t index) {
        return low[data[2 * index]] | high[data[2 * index + 1]];
    });
}

} // namespace

Palette MonochromePalette(const base::DisplayColors& colours, bool backlightOn) {
    using base::DisplayColors;
    if (backlightOn) {
        return {base::ToPixel(colours[DisplayColors::BacklightBackground]),
                base::ToPixel(colours[DisplayColors::BacklightForeground])};
    }
    return {base::ToPixel(colours[DisplayColors::Background]),
            base::ToPixel(colours[DisplayColors::Foreground])};
}

int DisplayTop(const ScreenGeometry& geometry, std::uint32_t bitsPerPixel) {
    return bitsPerPixel == 1 ? std::max(geometry.iconsPanelHeight, 0) : 0;
}

bool CreateScreenImage(CLumImage& screen, const ScreenGeometry& geometry) {
    // In 64 bits: a size read from a damaged file must not overflow.
    const std::int64_t height =
        std::int64_t{geometry.displayHeight} + std::max(geometry.iconsPanelHeight, 0);
    if (height > CLumImage::kMaxSide) {
        screen.Release();
        return false;
    }
    return screen.Create(geometry.displayWidth, static_cast<int>(height));
}

void ConvertScreen(CLumImage& screen, const ScreenGeometry& geometry,
                   const DisplayParameters& params, const Palette& palette, const Bytes& data) {
    const std::uint32_t bits = params.bitsPerPixel;
    if (screen.IsEmpty() || data.empty() || bits == 0) {
        return;
    }
    const DisplayArea area = displayArea(screen, geometry, bits);
    if (params.colourLayoutValid != 0 && bits != 1) {
        if (bits <= kMaxTranslatedBits) {
            convertTranslated(screen, area, params.translator, data);
        }
        return;
    }
    if (bits <= kMaxStreamBits) {
        convertBitStream(screen, area, bits, palette, data);
    }
}

} // namespace ombrix::render
