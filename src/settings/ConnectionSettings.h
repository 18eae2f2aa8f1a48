#pragma once

#include "settings/SettingsStream.h"

#include <QString>

namespace ombrix::settings {

// How instruments are reached: the USB vendor:product pairs the user chose
// ("usb_ids", "vvvv:pppp,..."), kept under "<tree>/Connection" beside the
// tree's groups. It is read at start-up and written at once when it changes,
// never by the tree stored at exit, so a change that ombrix-cli made
// meanwhile stays. The text is checked by whoever uses it.
class ConnectionSettings {
public:
    static constexpr const char* kKey = "Connection";

    static QString PathFor(const QString& treePath);

    // True when the value was exchanged; a store without it keeps `usbIds`.
    bool Exchange(SettingsStream& stream, const QString& path);

    QString usbIds;
};

} // namespace ombrix::settings
