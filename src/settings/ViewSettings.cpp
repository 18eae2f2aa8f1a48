#include "settings/ViewSettings.h"

#include "settings/ValueExchange.h"

namespace ombrix::settings {

bool ViewSettings::Exchange(SettingsStream& stream, const QString& path) {
    return ExchangeInKey(stream, path, [&] {
        bool exchanged =
            ExchangeValue(stream, QStringLiteral("button_highlight_period"), highlightPeriod_);
        exchanged &= ExchangeValue(stream, QStringLiteral("background_color"), backgroundColor_);
        // Not among the tree's own values: a store without it keeps the default.
        ExchangeValue(stream, QStringLiteral("sharp_pixels"), sharpPixels_);
        return exchanged;
    });
}

} // namespace ombrix::settings
