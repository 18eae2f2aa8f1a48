#include "settings/ScreenshotSettings.h"

#include "settings/ValueExchange.h"

namespace ombrix::settings {

bool ScreenshotSettings::Exchange(SettingsStream& stream, const QString& path) {
    return ExchangeInKey(stream, path, [&] {
        bool exchanged = ExchangeValue(stream, QStringLiteral("image_counter"), counter_);
        exchanged &= ExchangeValue(stream, QStringLiteral("image_format"), format_);
        exchanged &= ExchangeValue(stream, QStringLiteral("file_name_prefix"), prefix_);
        exchanged &= ExchangeFolder(stream, QStringLiteral("image_folder"), folder_);
        return exchanged;
    });
}

} // namespace ombrix::settings
