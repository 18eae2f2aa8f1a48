#pragma once

#include "base/Rect.h"
#include "settings/SettingsStream.h"

#include <QString>
#include <cstdint>

namespace ombrix::settings {

// Main window placement: the screen rectangle in the normal modes, whether the keyboard
// bar is shown, and the outer width in compact mode.
class MainFrameSettings {
public:
    static constexpr std::uint32_t kMinimumCompactWidth = 50;

    bool Exchange(SettingsStream& stream, const QString& path);

    base::Rect WindowRect() const { return windowRect_; }
    void SetWindowRect(const base::Rect& rect) { windowRect_ = rect; }
    bool KeyboardToolbarVisible() const { return keyboardToolbarVisible_; }
    void SetKeyboardToolbarVisible(bool visible) { keyboardToolbarVisible_ = visible; }
    std::uint32_t CompactWindowWidth() const { return compactWindowWidth_; }
    // Widths below kMinimumCompactWidth are ignored; loading takes the stored width as it is.
    void SetCompactWindowWidth(std::uint32_t width);
    // Beyond the tree's own values, off unless asked for: the window above others.
    bool AlwaysOnTop() const { return alwaysOnTop_; }
    void SetAlwaysOnTop(bool onTop) { alwaysOnTop_ = onTop; }

    bool operator==(const MainFrameSettings&) const = default;

private:
    base::Rect windowRect_{200, 200, 500, 500};
    bool keyboardToolbarVisible_ = false;
    std::uint32_t compactWindowWidth_ = 300;
    bool alwaysOnTop_ = false;
};

} // namespace ombrix::settings
