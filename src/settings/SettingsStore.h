#pragma once

#include "base/Colors.h"
#include "settings/ApplicationSettings.h"
#include "settings/ConnectionSettings.h"
#include "settings/GlobalProfile.h"
#include "settings/SettingsStream.h"

#include <QString>
#include <functional>
#include <optional>
#include <utility>

namespace ombrix::settings {

// Where the settings live, and their loading at start-up and storing at exit: the
// user's native store (QSettingsStream), or an INI file given by path. Each load or store
// uses one stream; a store writes everything at once, and reports failure when the store
// could not be written.
class SettingsStore {
public:
    SettingsStore() = default;
    explicit SettingsStore(QString iniFilePath) : iniFilePath_(std::move(iniFilePath)) {}

    bool LoadSettings(ApplicationSettings& settings) const;
    // Storing changes the tree too: empty folders become the default folder first.
    bool StoreSettings(ApplicationSettings& settings) const;
    bool LoadProfile(GlobalProfile& profile) const;
    bool StoreProfile(GlobalProfile& profile) const;

    // The colours chosen for a model file under the tree at `treePath`, read,
    // written or forgotten at once rather than with the tree at exit. None
    // when not all four are stored.
    std::optional<base::DisplayColors> LoadModelColors(const QString& treePath,
                                                       const QString& modelFile) const;
    bool StoreModelColors(const QString& treePath, const QString& modelFile,
                          const base::DisplayColors& colours) const;
    bool ForgetModelColors(const QString& treePath, const QString& modelFile) const;

    // The connection values under the tree at `treePath`, read or written at
    // once rather than with the tree at exit. A store without them gives the
    // defaults.
    ConnectionSettings LoadConnection(const QString& treePath) const;
    bool StoreConnection(const QString& treePath, ConnectionSettings connection) const;

private:
    bool ExchangeSettings(ApplicationSettings& settings, bool storing) const;
    bool Exchange(bool storing, const std::function<bool(SettingsStream&)>& exchange) const;

    std::optional<QString> iniFilePath_; // none: the user's native store
};

} // namespace ombrix::settings
