#pragma once

#include "catalogue/InstrumentModel.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace ombrix::sim {

using Bytes = std::vector<std::uint8_t>;

// Icon words w0..w5 of "#7,IC;": three pairs (shown, blinking); w0 carries the
// backlight in bit 15 and new content in bit 14.
using IconWords = std::array<std::uint16_t, 6>;

// Bits of the status word of "#7,SP,3;".
inline constexpr std::uint16_t kStatusBacklight = 0x0001;
inline constexpr std::uint16_t kStatusNewContent = 0x0002;

// The replies an instrument sends, byte for byte. Written independently of the
// application's decoders so that a misreading on either side shows up.

// "#1,U<type><letter>,W<firmware>,N<serial>[,S<s>];"
Bytes encodeIdentification(const Identification& identification, std::uint32_t serial);
// "#1,U<type><letter>,N<serial>;"
Bytes encodeShortIdentification(const Identification& identification, std::uint32_t serial);
// "#7,US,<value>;"
Bytes encodeUsValue(std::int32_t value);
// Header "#7,SP,1,", length, bits per pixel, gamma x 100 and, for direct colour,
// the six colour layout values; all 16-bit little-endian.
Bytes encodeScreenParameters(const InstrumentModel& model);
// Header "#7,SP,2,", length, then red, green, blue per entry.
Bytes encodePalette(std::span<const PaletteEntry> palette);
// Header "#7,SP,3,", length 2, the status word.
Bytes encodeStatus(std::uint16_t statusWord);
// Twelve bytes: the six icon words, low byte first.
Bytes encodeIcons(const IconWords& words);
// A short text whose byte at index 3 is "?".
Bytes encodeNotSupported();
// A reply to an identification request that is not one: no "#1,U" in it.
Bytes encodeGarbageIdentification();
// header, 16-bit little-endian payload length, payload.
Bytes encodeBlock(std::string_view header, std::span<const std::uint8_t> payload);

} // namespace ombrix::sim
