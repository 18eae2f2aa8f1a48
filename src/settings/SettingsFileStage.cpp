#include "settings/SettingsFileStage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMap>
#include <QVariant>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

namespace ombrix::settings {
namespace {

using ValueMap = QMap<QString, QVariant>;

QString TemporaryTemplate(const QString& target) {
    return target + QStringLiteral(".XXXXXX");
}

// Writes the target's current bytes into the open file; a missing target is an empty one.
bool CopyInto(const QString& target, QTemporaryFile& file) {
    QFile source(target);
    if (source.exists() && !source.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = source.isOpen() ? source.readAll() : QByteArray();
    const bool copied = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    return copied;
}

std::filesystem::path FileSystemPath(const QString& name) {
#ifdef Q_OS_WIN
    return std::filesystem::path(name.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(name).toStdString());
#endif
}

// Replaces `to` in one step, so readers see the old file or the new one, never a mix.
bool ReplaceFile(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(FileSystemPath(from), FileSystemPath(to), error);
    return !error;
}

ValueMap AllValues(const QSettings& settings) {
    ValueMap values;
    for (const QString& key : settings.allKeys()) {
        values.insert(key, settings.value(key));
    }
    return values;
}

std::optional<ValueMap> WriteChanges(const QString& path, QSettings::Format format,
                                     const std::vector<SettingsChange>& changes) {
    QSettings staged(path, format);
    for (const SettingsChange& change : changes) {
        if (change.value) {
            staged.setValue(change.key, *change.value);
        } else {
            staged.remove(change.key);
        }
    }
    staged.sync();
    if (staged.status() == QSettings::AccessError) {
        return std::nullopt;
    }
    return AllValues(staged);
}

// A file read back gives text where the writer held numbers, so those compare as text.
bool SameValue(const QVariant& read, const QVariant& written) {
    return read == written ||
           (read.typeId() != written.typeId() && read.toString() == written.toString());
}

// The path must be new to this process: QSettings shares what it parsed of a path.
bool ReadsBackAs(const QString& path, QSettings::Format format, const ValueMap& expected) {
    const ValueMap actual = AllValues(QSettings(path, format));
    return actual.keys() == expected.keys() &&
           std::all_of(expected.keyValueBegin(), expected.keyValueEnd(), [&](const auto& entry) {
               return SameValue(actual.value(entry.first), entry.second);
           });
}

} // namespace

SettingsFileStage::SettingsFileStage(const QString& target, QSettings::Format format)
    : target_(target), format_(format), copy_(TemporaryTemplate(target)) {
    ready_ =
        QDir().mkpath(QFileInfo(target).absolutePath()) && copy_.open() && CopyInto(target_, copy_);
}

bool SettingsFileStage::Commit(const std::vector<SettingsChange>& changes) const {
    if (!ready_) {
        return false;
    }
    if (changes.empty()) {
        return true;
    }
    QLockFile lock(target_ + QStringLiteral(".lock"));
    QTemporaryFile staged(TemporaryTemplate(target_));
    QTemporaryFile complete(TemporaryTemplate(target_));
    if (!lock.lock() || !staged.open() || !CopyInto(target_, staged) || !complete.open()) {
        return false;
    }
    complete.close();
    const auto expected = WriteChanges(staged.fileName(), format_, changes);
    return expected && ReplaceFile(staged.fileName(), complete.fileName()) &&
           ReadsBackAs(complete.fileName(), format_, *expected) &&
           ReplaceFile(complete.fileName(), target_);
}

} // namespace ombrix::settings
