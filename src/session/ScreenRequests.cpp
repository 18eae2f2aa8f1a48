#include "session/ScreenRequests.h"

#include "link/LinkErrors.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ombrix::session {

namespace {

constexpr std::string_view kScreenParametersCommand = "#7,SP,1;";
constexpr std::string_view kPaletteCommand = "#7,SP,2;";
constexpr std::string_view kStatusCommand = "#7,SP,3;";
constexpr std::string_view kIconsCommand = "#7,IC;";
constexpr std::string_view kScreenCommand = "#7,SC;";

constexpr std::uint32_t kIconReplySize = 12;
constexpr std::size_t kIconWordCount = 6;
constexpr std::uint32_t kMaxShift = 31;
constexpr std::uint32_t kMaxWidth = 8;
constexpr std::uint32_t kMaxPaletteBits = 15;

std::uint32_t word16(const Bytes& bytes, std::size_t index) {
    return static_cast<std::uint32_t>(bytes[index]) |
           (static_cast<std::uint32_t>(bytes[index + 1]) << 8);
}

// Limits a wire value; reports whether it had to.
std::uint32_t limited(std::uint32_t value, std::uint32_t maximum, bool& wasLimited) {
    if (value > maximum) {
        wasLimited = true;
        return maximum;
    }
    return value;
}

void decodeColourLayout(const Bytes& p, DisplayParameters& params) {
    bool wasLimited = false;
    PixelTranslator& t = params.translator;
    t.redShift = limited(word16(p, 4), kMaxShift, wasLimited);
    t.greenShift = limited(word16(p, 6), kMaxShift, wasLimited);
    t.blueShift = limited(word16(p, 8), kMaxShift, wasLimited);
    const std::uint32_t widths[3] = {limited(word16(p, 10), kMaxWidth, wasLimited),
                                     limited(word16(p, 12), kMaxWidth, wasLimited),
                                     limited(word16(p, 14), kMaxWidth, wasLimited)};
    std::uint32_t* masks[3] = {&t.redMask, &t.greenMask, &t.blueMask};
    std::uint32_t* leftShifts[3] = {&t.redLeftShift, &t.greenLeftShift, &t.blueLeftShift};
    for (int i = 0; i < 3; ++i) {
        *masks[i] = (1u << widths[i]) - 1u;
        *leftShifts[i] = kMaxWidth - widths[i];
    }
    params.colourLayoutValid = wasLimited ? 0 : 1;
}

std::uint32_t gammaCorrected(std::uint8_t channel, double gamma) {
    return static_cast<std::uint32_t>(std::pow(channel / 255.0, gamma) * 255.0);
}

std::int32_t signExtended(std::uint32_t word) {
    return static_cast<std::int32_t>(static_cast<std::int16_t>(static_cast<std::uint16_t>(word)));
}

[[noreturn]] void notSupported() {
    throw link::DataSourceException(link::DataSourceException::kNotSupported);
}

} // namespace

void DecodeScreenParameters(const Bytes& payload, DisplayParameters& params) {
    params.colourLayoutValid = 0;
    if (payload.size() >= 2) {
        params.bitsPerPixel = word16(payload, 0);
    }
    if (payload.size() >= 4) {
        params.gamma = word16(payload, 2) / 100.0;
    }
    if (payload.size() >= 16) {
        decodeColourLayout(payload, params);
    }
}

bool HasPalette(std::uint32_t bitsPerPixel) {
    return bitsPerPixel != 1 && bitsPerPixel < 16;
}

bool IsSupportedDepth(std::uint32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

Palette PaletteFromPayload(std::uint32_t bitsPerPixel, double gamma, const Bytes& payload) {
    if (!HasPalette(bitsPerPixel)) {
        return {};
    }
    Palette palette(std::size_t{1} << std::min(bitsPerPixel, kMaxPaletteBits), 0u);
    const std::size_t triplets = std::min(payload.size() / 3, palette.size());
    for (std::size_t i = 0; i < triplets; ++i) {
        palette[i] = (gammaCorrected(payload[3 * i], gamma) << 16) |
                     (gammaCorrected(payload[3 * i + 1], gamma) << 8) |
                     gammaCorrected(payload[3 * i + 2], gamma);
    }
    return palette;
}

void DecodeIcons(const Bytes& reply, IconState& state) {
    state.iconWords.assign(kIconWordCount, 0);
    for (std::size_t i = 0; i < kIconWordCount && 2 * i + 1 < reply.size(); ++i) {
        state.iconWords[i] = signExtended(word16(reply, 2 * i));
    }
    const auto shown = static_cast<std::uint16_t>(state.iconWords[0] & ~state.iconWords[1]);
    std::uint16_t status = state.StatusWord;
    // Bit 2 is cleared by every icon reply; the other bits keep their values.
    constexpr std::uint16_t kClearedByIconReply = 1u << 2;
    status &=
        static_cast<std::uint16_t>(~(kStatusBacklight | kStatusNewScreen | kClearedByIconReply));
    if (shown & 0x8000u) {
        status |= kStatusBacklight;
    }
    if (shown & 0x4000u) {
        status |= kStatusNewScreen;
    }
    state.StatusWord = status;
}

std::uint32_t ScreenByteCount(std::int32_t width, std::int32_t height, std::uint32_t bitsPerPixel) {
    if (width <= 0 || height <= 0 || !IsSupportedDepth(bitsPerPixel)) {
        return 0;
    }
    const std::uint64_t bits =
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * bitsPerPixel;
    const std::uint64_t bytes = bits / 8;
    return bytes > std::numeric_limits<std::uint32_t>::max() ? 0
                                                             : static_cast<std::uint32_t>(bytes);
}

void QueryScreenParameters(DataSource& source, DisplayParameters& params, Serial serial) {
    params.colourLayoutValid = 0;
    const BlockReply reply = source.RequestBlock(serial, kScreenParametersCommand);
    if (reply.notSupported) {
        params.bitsPerPixel = 1; // firmware older than the request: a one-bit screen
        return;
    }
    DisplayParameters decoded = params;
    DecodeScreenParameters(reply.payload, decoded);
    // Screen reads are sized by the depth: one the protocol does not have would
    // ask for hundreds of megabytes.
    if (!IsSupportedDepth(decoded.bitsPerPixel)) {
        source.Malformed(serial);
    }
    params = decoded;
}

Bytes QueryPalette(DataSource& source, Serial serial) {
    return source.RequestFixedHeaderBlock(serial, kPaletteCommand);
}

void BuildPalette(DataSource& source, const DisplayParameters& params, Palette& palette,
                  Serial serial) {
    palette.clear();
    if (!HasPalette(params.bitsPerPixel)) {
        return;
    }
    palette = PaletteFromPayload(params.bitsPerPixel, params.gamma, QueryPalette(source, serial));
}

void QueryStatus(DataSource& source, IconState& state, const DisplayParameters& params,
                 Serial serial) {
    if (params.bitsPerPixel == 1) {
        QueryIcons(source, state, serial);
        return;
    }
    state.iconWords.clear();
    const BlockReply reply = source.RequestBlock(serial, kStatusCommand);
    if (reply.notSupported) {
        notSupported();
    }
    if (reply.payload.size() < 2) {
        source.Malformed(serial);
    }
    state.StatusWord = static_cast<std::uint16_t>(word16(reply.payload, 0));
}

void QueryIcons(DataSource& source, IconState& state, Serial serial) {
    state.iconWords.assign(kIconWordCount, 0);
    const Bytes reply = source.RequestBytes(serial, kIconsCommand, kIconReplySize, '?');
    // A complete block is icon data even when its fourth byte happens to be 0x3F;
    // only a short reply can be the not-supported text.
    if (reply.size() < kIconReplySize && DataSource::IsNotSupported(reply)) {
        notSupported();
    }
    if (reply.size() < kIconReplySize) {
        source.Malformed(serial);
    }
    DecodeIcons(reply, state);
}

void ReadScreen(DataSource& source, Bytes& buffer, std::uint32_t byteCount, Serial serial) {
    if (byteCount == 0) {
        // Asking for nothing would leave the instrument's whole reply unread.
        buffer.clear();
        return;
    }
    source.RequestBytes(serial, kScreenCommand, byteCount, std::nullopt, buffer);
}

} // namespace ombrix::session
