#pragma once

#include "settings/SettingsFileStage.h"
#include "settings/SettingsStream.h"

#include <QSettings>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

namespace ombrix::settings {

// SettingsStream over QSettings: the per-user native store of organisation "Velmora" and
// application "Ombrix" (the registry under HKEY_CURRENT_USER\Software\Velmora\Ombrix on
// Windows, ~/.config/Velmora/Ombrix.conf on Linux), or an INI file given by path. Key
// paths are relative to that store and separated by '/' (a '\' counts as '/').
//
// A loading stream never changes the store. A storing stream collects its writes, and
// Commit() puts them into the store at once: a file is replaced only by a complete new
// version (SettingsFileStage), so a crash, a full disk or a second instance storing at
// the same time leaves a whole file.
class QSettingsStream final : public SettingsStream {
public:
    static constexpr const char* kOrganization = "Velmora";
    static constexpr const char* kApplication = "Ombrix";

    explicit QSettingsStream(bool storing);
    QSettingsStream(const QString& iniFilePath, bool storing);
    ~QSettingsStream() override;

    bool OpenKey(const QString& path) override;
    bool OpenDefaultUserKey(const QString& path) override;
    SettingsStream& Close() override;
    bool DeleteSubKey(const QString& name) override;
    bool DeleteAllSubKeys() override;
    bool WriteString(const QString& name, const QString& text) override;
    bool WriteDword(const QString& name, std::uint32_t value) override;
    bool ReadString(const QString& name, QString& text) override;
    bool ReadDword(const QString& name, std::uint32_t& value) override;

    // Puts everything stored through this stream into the store; true when it arrived whole.
    bool Commit();

private:
    QSettingsStream(const QString& store, QSettings::Format format, bool storing);

    bool CanStore() const;
    bool CanWrite(const QString& name) const;
    bool Write(const QString& name, const QVariant& value);
    void RecordChange(const QString& name, const std::optional<QVariant>& value);
    std::optional<QVariant> Read(const QString& name) const;
    std::optional<QString> ReadPlainText(const QString& name) const;

    std::unique_ptr<SettingsFileStage> stage_; // storing into a file: its private copy
    QSettings settings_;
    std::vector<SettingsChange> changes_;
    bool keyOpen_ = false;
};

} // namespace ombrix::settings
