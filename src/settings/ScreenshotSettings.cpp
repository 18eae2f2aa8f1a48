#include "settings/ScreenshotSettings.h"

#include "settings/ValueExchange.h"

namespace ombrix::settings {

bool ScreenshotSettings::Exchange(SettingsStream& stream, const QString& path) {
    return ExchangeInKey(stream, path, [&] {
        bool exchanged = ExchangeValue(stream, QStringLiteral("image_counter"), counter_);
        exchanged &= ExchangeValue(stream, QStringLiteral("image_format"), format_);
        exchanged &= ExchangeValue(stream, QStringLiteral("file_name_prefix"), prefix_);
        exchanged &= ExchangeFolder(stream, QStringLiteral("image_folder"), folder_);
        // Not among the tree's own values: a store without them keeps the defaults.
        ExchangeValue(stream, QStringLiteral("record_format"), recordFormat_);
        ExchangeValue(stream, QStringLiteral("record_captions"), recordCaptions_);
        return exchanged;
    });
}

} // namespace ombrix::settings
