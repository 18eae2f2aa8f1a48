#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace ombrix::sim {

// How a pixel value of a direct-colour display splits into red, green and blue:
// each channel is `width` bits starting at bit `shift`.
struct ColourLayout {
    std::uint16_t redShift = 0;
    std::uint16_t greenShift = 0;
    std::uint16_t blueShift = 0;
    std::uint16_t redWidth = 0;
    std::uint16_t greenWidth = 0;
    std::uint16_t blueWidth = 0;
};

// One palette entry as the instrument sends it, before the receiver applies the gamma.
struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// The single-byte codes the instrument's keys send. ENTER, ESC and the arrows use
// the codes the application binds to the same computer keys.
struct KeyCodes {
    std::uint8_t enter = 0;
    std::uint8_t escape = 0;
    std::uint8_t menu = 0;
    std::uint8_t backlight = 0;
    std::uint8_t hold = 0;
    std::uint8_t left = 0;
    std::uint8_t up = 0;
    std::uint8_t right = 0;
    std::uint8_t down = 0;
    std::uint8_t point = 0;
    std::array<std::uint8_t, 10> digits{};
};

// What the instrument says about itself in "#1" and "US" replies.
struct Identification {
    std::int32_t unitType = 0;
    std::string_view letter;   // one character after the unit type, or empty
    std::string_view firmware; // the "W" field: "a.b.c" or a number with a letter
    std::string_view settingS; // the "S" field; empty when the firmware has none
    std::uint32_t serial = 0;
    std::optional<std::int32_t> usValue; // empty: the firmware does not know ";#7,US;"
};

// Which model description file the application is meant to find for the model.
enum class ModelFileKind : std::uint8_t {
    Exact,  // the file named after the exact identification, in the "Data" folder
    Family, // no exact file: the family file beside the program
};

struct InstrumentModel {
    std::string_view key; // the name used on the command line
    std::string_view hardwareName;
    std::string_view summary;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitsPerPixel = 1;
    std::int32_t iconPanelHeight = 0; // rows of the icon panel above a monochrome display
    std::uint16_t gammaPercent = 100;
    std::span<const PaletteEntry> palette;
    std::optional<ColourLayout> colourLayout;
    bool knowsScreenRequests = true; // false: "#7,SP,n;" gets the not-supported marker
    bool knowsIconRequest = false;   // answers "#7,IC;"
    Identification identification;
    KeyCodes keys;
    std::string_view modelFileName;  // what the naming rule makes of the identification
    std::string_view familyFileName; // the family fallback of the naming rule
    ModelFileKind shippedFile = ModelFileKind::Exact;
};

} // namespace ombrix::sim
