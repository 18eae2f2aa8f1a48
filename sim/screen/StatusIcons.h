#pragma once

#include "protocol/ReplyEncoder.h"
#include "screen/FrontPanel.h"

#include <cstdint>

namespace ombrix::sim {

// Icons of the monochrome icon panel, as bits of the first pair of icon words.
enum IconBit : std::uint16_t {
    kIconBattery = 1U << 0,
    kIconMeasuring = 1U << 1,
    kIconHold = 1U << 2,
    kIconMenu = 1U << 3,
    kIconAlarm = 1U << 4,
};
// Bit 0 of the second pair: the backlight is on.
inline constexpr std::uint16_t kIconBacklight = 1U << 0;

// Status word bits 0 (backlight) and 1 (new content), for "#7,SP,3;".
std::uint16_t statusWord(const FrontPanel& panel, bool newContent);

// The six words of "#7,IC;". Icons are only reported by a model with an icon
// panel; the status flags always are. No byte of the result is 0x3F ("?"): the
// receiver reads this reply with "?" as stop byte, so that value would cut it short.
IconWords iconWords(const FrontPanel& panel, bool newContent, bool hasIconPanel);

} // namespace ombrix::sim
