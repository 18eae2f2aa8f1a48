#pragma once

#include <cstdint>

namespace ombrix::shell {

// How the instrument is presented; the numbers are the stored display_mode.
enum class DisplayMode : std::uint32_t {
    NormalWithKeyboard = 0, // the front-panel picture with the live screen in it
    NormalWithoutKeyboard = 1,
    Fullscreen = 2,
    Compact = 3, // a strip of caption, menu and main toolbar; nothing is polled
};

// The mode a stored value stands for. Settings are loaded unchecked, so a value
// no mode has is shown as the first mode rather than as nothing.
constexpr DisplayMode DisplayModeFromSetting(std::uint32_t value) {
    return value <= static_cast<std::uint32_t>(DisplayMode::Compact)
               ? static_cast<DisplayMode>(value)
               : DisplayMode::NormalWithKeyboard;
}

constexpr std::uint32_t SettingOf(DisplayMode mode) {
    return static_cast<std::uint32_t>(mode);
}

// The mode that leaving fullscreen returns to: the one before it, or the normal
// mode without keyboard when that was fullscreen as well.
constexpr DisplayMode ModeAfterFullscreen(DisplayMode previous) {
    return previous == DisplayMode::Fullscreen ? DisplayMode::NormalWithoutKeyboard : previous;
}

} // namespace ombrix::shell
