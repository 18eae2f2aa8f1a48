#include "catalogue/ModelCatalogue.h"

#include <algorithm>
#include <array>

namespace ombrix::sim {

namespace {

constexpr KeyCodes kStandardKeys{
    .enter = 0x61,
    .escape = 0x62,
    .menu = 0x6A,
    .backlight = 0x6B,
    .hold = 0x6C,
    .left = 0x65,
    .up = 0x66,
    .right = 0x67,
    .down = 0x68,
    .point = 0x2E,
    .digits = {0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39},
};

// The old firmware's backlight key sends ';', the byte that closes every command,
// so a receiver that scans key presses for ';' is caught out.
constexpr KeyCodes kOldFirmwareKeys = [] {
    KeyCodes keys = kStandardKeys;
    keys.backlight = 0x3B;
    return keys;
}();

// Raw entries for a gamma of 2.2: eight colours with the backlight on, then the
// same eight dimmed for the backlight off. Entry i is colour role i (see Theme).
constexpr std::array<PaletteEntry, 16> kGammaPalette{{
    {72, 87, 119},
    {243, 243, 243},
    {255, 228, 110},
    {181, 188, 200},
    {110, 206, 238},
    {59, 72, 99},
    {132, 228, 159},
    {243, 132, 122},
    {39, 50, 68},
    {141, 141, 141},
    {147, 132, 64},
    {105, 109, 116},
    {64, 119, 138},
    {34, 39, 56},
    {76, 132, 92},
    {141, 76, 70},
}};

constexpr ColourLayout kRgb565{
    .redShift = 11,
    .greenShift = 5,
    .blueShift = 0,
    .redWidth = 5,
    .greenWidth = 6,
    .blueWidth = 5,
};

// Every field is spelled out, so a model states its whole description here.
constexpr std::array kModels{
    InstrumentModel{
        .key = "mono",
        .hardwareName = "ORMA 745A",
        .summary = "128 x 64 monochrome, 1 bit per pixel, 11-pixel icon panel",
        .width = 128,
        .height = 64,
        .bitsPerPixel = 1,
        .iconPanelHeight = 11,
        .gammaPercent = 100,
        .palette = {},
        .colourLayout = std::nullopt,
        .knowsScreenRequests = true,
        .knowsIconRequest = true,
        .identification = {.unitType = 745,
                           .letter = "A",
                           .firmware = "1.05.3",
                           .settingS = "2A4F",
                           .serial = 10745,
                           .usValue = 1},
        .keys = kStandardKeys,
        .modelFileName = "lum745A.def",
        .familyFileName = "lum74x.def",
        .shippedFile = ModelFileKind::Exact,
    },
    InstrumentModel{
        .key = "palette",
        .hardwareName = "ORMA 758A",
        .summary = "240 x 160, 4 bits per pixel, 16-colour palette, gamma 2.2",
        .width = 240,
        .height = 160,
        .bitsPerPixel = 4,
        .iconPanelHeight = 0,
        .gammaPercent = 220,
        .palette = kGammaPalette,
        .colourLayout = std::nullopt,
        .knowsScreenRequests = true,
        .knowsIconRequest = false,
        .identification = {.unitType = 758,
                           .letter = "",
                           .firmware = "4.62.1",
                           .settingS = "1C07",
                           .serial = 20758,
                           .usValue = 2},
        .keys = kStandardKeys,
        .modelFileName = "lum758A_ru.def",
        .familyFileName = "lum75x.def",
        .shippedFile = ModelFileKind::Exact,
    },
    InstrumentModel{
        .key = "colour",
        .hardwareName = "ORMA 302 plus",
        .summary = "320 x 240, 16 bits per pixel, RGB 5-6-5",
        .width = 320,
        .height = 240,
        .bitsPerPixel = 16,
        .iconPanelHeight = 0,
        .gammaPercent = 100,
        .palette = {},
        .colourLayout = kRgb565,
        .knowsScreenRequests = true,
        .knowsIconRequest = false,
        .identification = {.unitType = 302,
                           .letter = "",
                           .firmware = "2.10.0",
                           .settingS = "0B33",
                           .serial = 30302,
                           .usValue = 3},
        .keys = kStandardKeys,
        .modelFileName = "lum302plus.def",
        .familyFileName = "lum_unknown.def",
        .shippedFile = ModelFileKind::Exact,
    },
    InstrumentModel{
        .key = "legacy",
        .hardwareName = "ORMA 741",
        .summary = "122 x 32 monochrome, old firmware without screen parameters",
        .width = 122,
        .height = 32,
        .bitsPerPixel = 1,
        .iconPanelHeight = 0,
        .gammaPercent = 100,
        .palette = {},
        .colourLayout = std::nullopt,
        .knowsScreenRequests = false,
        .knowsIconRequest = true,
        .identification = {.unitType = 741,
                           .letter = "",
                           .firmware = "152b",
                           .settingS = "",
                           .serial = 40741,
                           .usValue = std::nullopt},
        .keys = kOldFirmwareKeys,
        .modelFileName = "lum741_ru.def",
        .familyFileName = "lum74x.def",
        .shippedFile = ModelFileKind::Family,
    },
};

} // namespace

std::span<const InstrumentModel> allModels() {
    return kModels;
}

const InstrumentModel* findModel(std::string_view key) {
    const auto found = std::find_if(kModels.begin(), kModels.end(),
                                    [&](const InstrumentModel& model) { return model.key == key; });
    return found == kModels.end() ? nullptr : &*found;
}

} // namespace ombrix::sim
