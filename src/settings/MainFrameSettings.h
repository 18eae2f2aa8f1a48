#pragma once

#include "base/Rect.h"
#include "settings/SettingsStream.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace ombrix::settings {

// Main window placement: the screen rectangle in the normal modes, whether the keyboard
// bar is shown, and the outer width in compact mode.
class MainFrameSettings {
public:
    static constexpr std::uint32_t kMinimumCompactWidth = 50;

    bool Exchange(SettingsStream& stream, const QString& path);

    base::Rect WindowRect() const { return windowRect_; }
    void SetWindowRect(const base::Rect& rect) {
        windowRect_ = rect;
        hasWindowRect_ = true;
    }
    // Whether a rectangle was loaded or set: the default one stands in for
    // none, and a first start sizes the window itself.
    bool HasWindowRect() const { return hasWindowRect_; }
    bool KeyboardToolbarVisible() const { return keyboardToolbarVisible_; }
    void SetKeyboardToolbarVisible(bool visible) { keyboardToolbarVisible_ = visible; }
    std::uint32_t CompactWindowWidth() const { return compactWindowWidth_; }
    // Widths below kMinimumCompactWidth are ignored; loading takes the stored width as it is.
    void SetCompactWindowWidth(std::uint32_t width);
    // Beyond the tree's own values, off unless asked for: the window above others.
    bool AlwaysOnTop() const { return alwaysOnTop_; }
    void SetAlwaysOnTop(bool onTop) { alwaysOnTop_ = onTop; }
    // Beyond the tree's own values: where the user moved the keyboard bar;
    // none while it goes beside the window.
    std::optional<base::Rect> KeyboardToolbarRect() const { return keyboardToolbarRect_; }
    void SetKeyboardToolbarRect(const base::Rect& rect) { keyboardToolbarRect_ = rect; }

    bool operator==(const MainFrameSettings&) const = default;

private:
    base::Rect windowRect_{200, 200, 500, 500};
    bool keyboardToolbarVisible_ = false;
    std::uint32_t compactWindowWidth_ = 300;
    bool alwaysOnTop_ = false;
    bool hasWindowRect_ = false;
    std::optional<base::Rect> keyboardToolbarRect_;
};

} // namespace ombrix::settings
