#include "settings/SettingsStore.h"

#include "settings/ModelColorsSettings.h"
#include "settings/QSettingsStream.h"

#include <memory>

namespace ombrix::settings {

bool SettingsStore::LoadSettings(ApplicationSettings& settings) const {
    return ExchangeSettings(settings, false);
}

bool SettingsStore::StoreSettings(ApplicationSettings& settings) const {
    return ExchangeSettings(settings, true);
}

bool SettingsStore::LoadProfile(GlobalProfile& profile) const {
    return Exchange(false, [&profile](SettingsStream& stream) {
        return profile.Exchange(stream, QString::fromLatin1(GlobalProfile::kKey));
    });
}

bool SettingsStore::StoreProfile(GlobalProfile& profile) const {
    return Exchange(true, [&profile](SettingsStream& stream) {
        return profile.Exchange(stream, QString::fromLatin1(GlobalProfile::kKey));
    });
}

std::optional<base::DisplayColors> SettingsStore::LoadModelColors(const QString& treePath,
                                                                  const QString& modelFile) const {
    ModelColorsSettings chosen;
    const bool loaded = Exchange(false, [&](SettingsStream& stream) {
        return chosen.Exchange(stream, ModelColorsSettings::PathFor(treePath, modelFile));
    });
    return loaded ? std::optional(chosen.colours) : std::nullopt;
}

bool SettingsStore::StoreModelColors(const QString& treePath, const QString& modelFile,
                                     const base::DisplayColors& colours) const {
    ModelColorsSettings chosen{colours};
    return Exchange(true, [&](SettingsStream& stream) {
        return chosen.Exchange(stream, ModelColorsSettings::PathFor(treePath, modelFile));
    });
}

bool SettingsStore::ForgetModelColors(const QString& treePath, const QString& modelFile) const {
    const QString group = ModelColorsSettings::PathFor(treePath, modelFile);
    return Exchange(true, [&](SettingsStream& stream) {
        if (!stream.OpenKey(group.section(u'/', 0, -2))) {
            return false;
        }
        stream.DeleteSubKey(group.section(u'/', -1));
        stream.Close();
        return true;
    });
}

ConnectionSettings SettingsStore::LoadConnection(const QString& treePath) const {
    ConnectionSettings connection;
    Exchange(false, [&](SettingsStream& stream) {
        return connection.Exchange(stream, ConnectionSettings::PathFor(treePath));
    });
    return connection;
}

bool SettingsStore::StoreConnection(const QString& treePath, ConnectionSettings connection) const {
    return Exchange(true, [&](SettingsStream& stream) {
        return connection.Exchange(stream, ConnectionSettings::PathFor(treePath));
    });
}

bool SettingsStore::ExchangeSettings(ApplicationSettings& settings, bool storing) const {
    return Exchange(storing, [&settings](SettingsStream& stream) {
        return settings.Exchange(stream, settings.SettingsPath());
    });
}

bool SettingsStore::Exchange(bool storing,
                             const std::function<bool(SettingsStream&)>& exchange) const {
    const auto stream = iniFilePath_ ? std::make_unique<QSettingsStream>(*iniFilePath_, storing)
                                     : std::make_unique<QSettingsStream>(storing);
    const bool exchanged = exchange(*stream);
    const bool committed = !storing || stream->Commit();
    return exchanged && committed;
}

} // namespace ombrix::settings
