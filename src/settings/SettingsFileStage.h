#pragma once

#include <QSettings>
#include <QString>
#include <QTemporaryFile>
#include <QVariant>
#include <optional>
#include <vector>

namespace ombrix::settings {

// One change a storing stream made, by the key's full path within the store: a value
// written, or, without a value, the key removed with everything below it.
struct SettingsChange {
    QString key;
    std::optional<QVariant> value;
};

// A private copy of a settings file that a storing stream changes freely, and the one
// way its changes reach the file: rebased onto the file as it is then, written to a new
// file, and put in place of the file only after that new file reads back complete.
//
// QSettings alone is not enough: it takes a short write on a full disk for success and
// renames the truncated file over the previous one.
class SettingsFileStage {
public:
    SettingsFileStage(const QString& target, QSettings::Format format);
    SettingsFileStage(const SettingsFileStage&) = delete;
    SettingsFileStage& operator=(const SettingsFileStage&) = delete;

    // False when the file could not be copied; then nothing may be stored.
    bool IsReady() const { return ready_; }
    QString CopyPath() const { return copy_.fileName(); }

    // Applies the changes in order, under the lock file that QSettings uses for the
    // target, so instances storing at once take turns.
    bool Commit(const std::vector<SettingsChange>& changes) const;

private:
    QString target_;
    QSettings::Format format_;
    QTemporaryFile copy_;
    bool ready_ = false;
};

} // namespace ombrix::settings
