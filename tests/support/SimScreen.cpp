#include "SimScreen.h"

#include <cmath>

namespace ombrix::testing {

namespace {

// The application's default colours of a one-bit screen, backlight off.
constexpr std::uint32_t kPaper = 0x00FFFFFF;
constexpr std::uint32_t kInk = 0x00000000;

std::uint32_t gammaChannel(int channel, double gamma) {
    return static_cast<std::uint32_t>(std::pow(channel / 255.0, gamma) * 255.0);
}

} // namespace

std::uint32_t ExpectedScreenPixel(const sim::InstrumentModel& model, const QImage& snapshot, int x,
                                  int y) {
    if (model.colourLayout && model.bitsPerPixel != 1) {
        return snapshot.pixel(x, y) & 0x00FFFFFFu;
    }
    const int index = snapshot.pixelIndex(x, y);
    if (model.bitsPerPixel == 1) {
        return index == 1 ? kInk : kPaper;
    }
    if (static_cast<std::size_t>(index) >= model.palette.size()) {
        return kInk; // the receiver shows black beyond its palette
    }
    const sim::PaletteEntry& entry = model.palette[static_cast<std::size_t>(index)];
    const double gamma = model.gammaPercent / 100.0;
    return (gammaChannel(entry.red, gamma) << 16) | (gammaChannel(entry.green, gamma) << 8) |
           gammaChannel(entry.blue, gamma);
}

int ScreenMismatches(const sim::InstrumentModel& model, const QImage& screen,
                     const QImage& snapshot) {
    const int top = model.bitsPerPixel == 1 ? model.iconPanelHeight : 0;
    int count = 0;
    for (int y = 0; y < model.height; ++y) {
        for (int x = 0; x < model.width; ++x) {
            count += (screen.pixel(x, top + y) & 0x00FFFFFFu) !=
                     ExpectedScreenPixel(model, snapshot, x, y);
        }
    }
    return count;
}

} // namespace ombrix::testing
