#include "screen/Theme.h"

#include <cmath>

namespace ombrix::sim {

namespace {

// A direct-colour screen with the backlight off still shows its content faintly.
constexpr int kDimPercent = 30;

constexpr std::array<QRgb, kRoleCount> kDirectColours{
    0xFF102030, // background
    0xFFE8E8E8, // text
    0xFFFFC828, // value
    0xFF8C9AB4, // label
    0xFF28A0DC, // highlight
    0xFF0A1020, // highlight text
    0xFF3CC85A, // bar
    0xFFE63C32, // alert
};

QColor dimmed(QRgb colour) {
    return QColor(qRed(colour) * kDimPercent / 100, qGreen(colour) * kDimPercent / 100,
                  qBlue(colour) * kDimPercent / 100);
}

std::uint8_t applyGamma(std::uint8_t channel, double gamma) {
    return static_cast<std::uint8_t>(std::pow(channel / 255.0, gamma) * 255.0);
}

using Colours = std::array<QColor, kRoleCount>;

// Ink is every role but the background and the text drawn on a highlight.
Colours monochromeColours() {
    Colours colours;
    colours.fill(QColor(Qt::black));
    colours[static_cast<std::size_t>(Role::Background)] = QColor(Qt::white);
    colours[static_cast<std::size_t>(Role::HighlightText)] = QColor(Qt::white);
    return colours;
}

Colours directColours(bool backlight) {
    Colours colours;
    for (std::size_t role = 0; role < kRoleCount; ++role) {
        colours[role] = backlight ? QColor(kDirectColours[role]) : dimmed(kDirectColours[role]);
    }
    return colours;
}

Colours paletteColours(const std::vector<QRgb>& palette, bool backlight) {
    Colours colours;
    for (std::size_t role = 0; role < kRoleCount; ++role) {
        const std::size_t index = backlight ? role : role + kRoleCount;
        colours[role] = index < palette.size() ? QColor(palette[index]) : QColor(Qt::black);
    }
    return colours;
}

} // namespace

std::vector<QRgb> Theme::displayedPalette(const InstrumentModel& model) {
    const double gamma = model.gammaPercent / 100.0;
    std::vector<QRgb> colours;
    for (const PaletteEntry& entry : model.palette) {
        colours.push_back(qRgb(applyGamma(entry.red, gamma), applyGamma(entry.green, gamma),
                               applyGamma(entry.blue, gamma)));
    }
    return colours;
}

Theme::Theme(const InstrumentModel& model, bool backlight) {
    if (model.bitsPerPixel == 1) {
        colours_ = monochromeColours();
    } else if (model.colourLayout) {
        colours_ = directColours(backlight);
    } else {
        colours_ = paletteColours(displayedPalette(model), backlight);
    }
}

} // namespace ombrix::sim
