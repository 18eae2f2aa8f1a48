#include "settings/GlobalProfile.h"

#include "settings/ValueExchange.h"

namespace ombrix::settings {

bool GlobalProfile::Exchange(SettingsStream& stream, const QString& path) {
    return ExchangeInKey(stream, path, [&] {
        bool exchanged = true;
        if (!stream.IsStoring()) {
            exchanged &= ExchangeValue(stream, QStringLiteral("X"), x);
            exchanged &= ExchangeValue(stream, QStringLiteral("Y"), y);
            exchanged &= ExchangeValue(stream, QStringLiteral("Width"), width);
            exchanged &= ExchangeValue(stream, QStringLiteral("Height"), height);
            exchanged &= ExchangeValue(stream, QStringLiteral("FastKeyResponse"), fastKeyResponse);
        }
        exchanged &= ExchangeValue(stream, QStringLiteral("ScreenshotZoom"), screenshotZoom);
        exchanged &= ExchangeValue(stream, QStringLiteral("RefreshRate"), refreshRate);
        return exchanged;
    });
}

} // namespace ombrix::settings
