#include "settings/CursorSettings.h"

#include "settings/ValueExchange.h"

namespace ombrix::settings {

bool CursorSettings::Exchange(SettingsStream& stream, const QString& path) {
    return ExchangeInKey(
        stream, path, [&] { return ExchangeValue(stream, QStringLiteral("cursor_size"), size_); });
}

} // namespace ombrix::settings
