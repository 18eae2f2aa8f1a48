#include "settings/ConnectionSettings.h"

#include "settings/ValueExchange.h"

namespace ombrix::settings {

QString ConnectionSettings::PathFor(const QString& treePath) {
    return treePath + u'/' + QString::fromLatin1(kKey);
}

bool ConnectionSettings::Exchange(SettingsStream& stream, const QString& path) {
    return ExchangeInKey(stream, path,
                         [&] { return ExchangeValue(stream, QStringLiteral("usb_ids"), usbIds); });
}

} // namespace ombrix::settings
