#include "screen/StatusIcons.h"

namespace ombrix::sim {

namespace {

constexpr std::uint16_t kIconWordBacklight = 0x8000;
constexpr std::uint16_t kIconWordNewContent = 0x4000;

struct IconPair {
    std::uint16_t shown = 0;
    std::uint16_t blinking = 0;
};

IconPair firstPair(const FrontPanel& panel) {
    IconPair pair;
    pair.shown = kIconBattery;
    if (!panel.hold()) {
        pair.shown |= kIconMeasuring;
        pair.blinking |= kIconMeasuring;
    } else {
        pair.shown |= kIconHold;
    }
    if (panel.page() != Page::Measure) {
        pair.shown |= kIconMenu;
    }
    if (panel.alarm()) {
        pair.shown |= kIconAlarm;
        pair.blinking |= kIconAlarm;
    }
    return pair;
}

} // namespace

std::uint16_t statusWord(const FrontPanel& panel, bool newContent) {
    std::uint16_t word = 0;
    if (panel.backlight()) {
        word |= kStatusBacklight;
    }
    if (newContent) {
        word |= kStatusNewContent;
    }
    return word;
}

IconWords iconWords(const FrontPanel& panel, bool newContent, bool hasIconPanel) {
    IconWords words{};
    if (hasIconPanel) {
        const IconPair icons = firstPair(panel);
        words[0] = icons.shown;
        words[1] = icons.blinking;
        words[2] = panel.backlight() ? kIconBacklight : 0;
    }
    // The flags sit in the first word only, clear in the second: s = w0 AND NOT w1.
    if (panel.backlight()) {
        words[0] |= kIconWordBacklight;
    }
    if (newContent) {
        words[0] |= kIconWordNewContent;
    }
    return words;
}

} // namespace ombrix::sim
