#include "settings/ApplicationSettings.h"

#include "settings/ValueExchange.h"

namespace ombrix::settings {

bool ApplicationSettings::Exchange(SettingsStream& stream, const QString& path) {
    bool exchanged = screenshot_.Exchange(stream, path + QStringLiteral("/Screenshot"));
    exchanged &= view_.Exchange(stream, path + QStringLiteral("/View"));
    exchanged &= cursor_.Exchange(stream, path + QStringLiteral("/Cursor"));
    exchanged &= mainFrame_.Exchange(stream, path + QStringLiteral("/MainFrame"));
    exchanged &= commandsToolbar_.Exchange(stream, path + QStringLiteral("/CommandsToolbar"));
    exchanged &= ExchangeDisplayModes(stream, path);
    return exchanged;
}

void ApplicationSettings::SetRootPath(const QString& root) {
    if (root.isEmpty()) {
        return;
    }
    rootPath_ = root;
    settingsPath_ = root + u'/' + QString::fromLatin1(kTreeKey);
}

void ApplicationSettings::SetDisplayMode(std::uint32_t mode) {
    previousDisplayMode_ = displayMode_;
    displayMode_ = mode;
}

bool ApplicationSettings::ExchangeDisplayModes(SettingsStream& stream, const QString& path) {
    return ExchangeInKey(stream, path, [&] {
        bool exchanged = ExchangeValue(stream, QStringLiteral("display_mode"), displayMode_);
        exchanged &=
            ExchangeValue(stream, QStringLiteral("previous_display_mode"), previousDisplayMode_);
        return exchanged;
    });
}

} // namespace ombrix::settings
