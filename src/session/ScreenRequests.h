#pragma once

#include "base/Colors.h"
#include "session/DataSource.h"
#include "session/PixelTranslator.h"

#include <cstdint>
#include <vector>

namespace ombrix::session {

// What the instrument reports about its screen format.
struct DisplayParameters {
    std::uint8_t colourLayoutValid = 0;
    PixelTranslator translator;
    std::uint32_t bitsPerPixel = 1;
    double gamma = 1.0;
    bool operator==(const DisplayParameters&) const = default;
};

// Status bits of the instrument.
inline constexpr std::uint16_t kStatusBacklight = 1u << 0;
inline constexpr std::uint16_t kStatusNewScreen = 1u << 1;

struct IconState {
    std::vector<std::int32_t> iconWords;
    std::uint16_t StatusWord = 0;
    bool operator==(const IconState&) const = default;
};

using Palette = std::vector<base::Pixel>; // indexed by pixel value

// Decoders: pure functions over the reply bytes.

// Applies a "#7,SP,1;" payload; shorter payloads leave the remaining fields alone.
void DecodeScreenParameters(const Bytes& payload, DisplayParameters& params);

// Gamma-corrected RGB triplets into a palette of 2^bitsPerPixel entries; entries
// without a triplet stay 0 and surplus triplets are dropped.
Palette PaletteFromPayload(std::uint32_t bitsPerPixel, double gamma, const Bytes& payload);

// Whether a screen of this depth has a palette to request.
bool HasPalette(std::uint32_t bitsPerPixel);

// Whether the instrument may report this many bits per pixel: 1, 2, 4, 8 and 16,
// and the direct-colour depths 24 and 32, whose screens are read but not drawn.
bool IsSupportedDepth(std::uint32_t bitsPerPixel);

// Applies the twelve bytes of an "#7,IC;" reply.
void DecodeIcons(const Bytes& reply, IconState& state);

// Screen size in bytes; 0 for a depth that is not supported or a product that
// does not fit the protocol's 32-bit count.
std::uint32_t ScreenByteCount(std::int32_t width, std::int32_t height, std::uint32_t bitsPerPixel);

// Requests: each sends its command through the data source and decodes the reply.

// A depth that IsSupportedDepth refuses is a malformed reply: the device is
// closed and `params` keeps its values.
void QueryScreenParameters(DataSource& source, DisplayParameters& params, Serial serial);
Bytes QueryPalette(DataSource& source, Serial serial);
void BuildPalette(DataSource& source, const DisplayParameters& params, Palette& palette,
                  Serial serial);
void QueryStatus(DataSource& source, IconState& state, const DisplayParameters& params,
                 Serial serial);
void QueryIcons(DataSource& source, IconState& state, Serial serial);
void ReadScreen(DataSource& source, Bytes& buffer, std::uint32_t byteCount, Serial serial);

} // namespace ombrix::session
