#include "settings/MainFrameSettings.h"

#include "settings/ValueExchange.h"

namespace ombrix::settings {

bool MainFrameSettings::Exchange(SettingsStream& stream, const QString& path) {
    return ExchangeInKey(stream, path, [&] {
        bool exchanged = ExchangeValue(stream, QStringLiteral("regular_window_rect"), windowRect_);
        hasWindowRect_ = hasWindowRect_ || exchanged;
        exchanged &= ExchangeValue(stream, QStringLiteral("keyboard_toolbar_visible"),
                                   keyboardToolbarVisible_);
        exchanged &=
            ExchangeValue(stream, QStringLiteral("compact_window_width"), compactWindowWidth_);
        // Not among the tree's own values: a store without it keeps the default.
        ExchangeValue(stream, QStringLiteral("always_on_top"), alwaysOnTop_);
        ExchangeValue(stream, QStringLiteral("keyboard_toolbar_rect"), keyboardToolbarRect_);
        return exchanged;
    });
}

void MainFrameSettings::SetCompactWindowWidth(std::uint32_t width) {
    if (width >= kMinimumCompactWidth) {
        compactWindowWidth_ = width;
    }
}

} // namespace ombrix::settings
