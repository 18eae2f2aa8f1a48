#include "protocol/ReplyEncoder.h"

#include <limits>
#include <stdexcept>
#include <string>

namespace ombrix::sim {

namespace {

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

void appendLittleEndian16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

std::string unitField(const Identification& identification) {
    std::string field(1, 'U');
    field += std::to_string(identification.unitType);
    field += identification.letter;
    return field;
}

} // namespace

Bytes encodeIdentification(const Identification& identification, std::uint32_t serial) {
    std::string text = "#1," + unitField(identification) + ",W" +
                       std::string(identification.firmware) + ",N" + std::to_string(serial);
    if (!identification.settingS.empty()) {
        text += ",S" + std::string(identification.settingS);
    }
    return bytesOf(text + ";");
}

Bytes encodeShortIdentification(const Identification& identification, std::uint32_t serial) {
    return bytesOf("#1," + unitField(identification) + ",N" + std::to_string(serial) + ";");
}

Bytes encodeUsValue(std::int32_t value) {
    return bytesOf("#7,US," + std::to_string(value) + ";");
}

Bytes encodeScreenParameters(const InstrumentModel& model) {
    Bytes payload;
    appendLittleEndian16(payload, static_cast<std::uint16_t>(model.bitsPerPixel));
    appendLittleEndian16(payload, model.gammaPercent);
    if (model.colourLayout) {
        const ColourLayout& layout = *model.colourLayout;
        for (const std::uint16_t value : {layout.redShift, layout.greenShift, layout.blueShift,
                                          layout.redWidth, layout.greenWidth, layout.blueWidth}) {
            appendLittleEndian16(payload, value);
        }
    }
    return encodeBlock("#7,SP,1,", payload);
}

Bytes encodePalette(std::span<const PaletteEntry> palette) {
    Bytes payload;
    for (const PaletteEntry& entry : palette) {
        payload.insert(payload.end(), {entry.red, entry.green, entry.blue});
    }
    return encodeBlock("#7,SP,2,", payload);
}

Bytes encodeStatus(std::uint16_t statusWord) {
    Bytes payload;
    appendLittleEndian16(payload, statusWord);
    return encodeBlock("#7,SP,3,", payload);
}

Bytes encodeIcons(const IconWords& words) {
    Bytes out;
    for (const std::uint16_t word : words) {
        appendLittleEndian16(out, word);
    }
    return out;
}

Bytes encodeNotSupported() {
    return bytesOf("#7,?;");
}

Bytes encodeGarbageIdentification() {
    return {'#', '1', '.', 'U', 0xFE, 0x7F, 0x01, 'Z', 'Q', '!', ';'};
}

Bytes encodeBlock(std::string_view header, std::span<const std::uint8_t> payload) {
    if (payload.size() > std::numeric_limits<std::uint16_t>::max()) {
        throw std::length_error("block payload does not fit a 16-bit length");
    }
    Bytes out = bytesOf(header);
    appendLittleEndian16(out, static_cast<std::uint16_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

} // namespace ombrix::sim
