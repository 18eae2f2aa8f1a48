#include "settings/QSettingsStream.h"

#include "settings/ValueText.h"

#include <QStringList>
#include <algorithm>

namespace ombrix::settings {
namespace {

constexpr QChar kNul = u'\0';

#ifdef Q_OS_WIN
constexpr bool kNativeStoreIsRegistry = true;
#else
constexpr bool kNativeStoreIsRegistry = false;
#endif

// The native store of this user and application: a file path, or a registry key path.
QString NativeStorePath() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QSettingsStream::kOrganization,
                     QSettingsStream::kApplication)
        .fileName();
}

// The registry writes each value in place; every other store is a file.
bool IsFile(QSettings::Format format) {
    return format != QSettings::NativeFormat || !kNativeStoreIsRegistry;
}

// A value name addresses a value of the open key only, never one in another key.
bool IsValueName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\');
}

// Text of a value that holds text or a whole number. An INI line with unquoted commas
// reads as a list, which is joined back into the text that was written.
std::optional<QString> PlainText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::QStringList:
        return value.toStringList().join(u',');
    default:
        return std::nullopt;
    }
}

std::optional<QString> UntypedText(const QVariant& value) {
    auto text = PlainText(value);
    const qsizetype nul = text ? text->indexOf(kNul) : -1;
    if (nul >= 0) {
        text->truncate(nul);
    }
    return text;
}

} // namespace

QSettingsStream::QSettingsStream(bool storing)
    : QSettingsStream(NativeStorePath(), QSettings::NativeFormat, storing) {}

QSettingsStream::QSettingsStream(const QString& iniFilePath, bool storing)
    : QSettingsStream(iniFilePath, QSettings::IniFormat, storing) {}

QSettingsStream::QSettingsStream(const QString& store, QSettings::Format format, bool storing)
    : SettingsStream(storing),
      stage_(storing && IsFile(format) ? std::make_unique<SettingsFileStage>(store, format)
                                       : nullptr),
      settings_(stage_ ? stage_->CopyPath() : store, format) {}

QSettingsStream::~QSettingsStream() {
    Close();
}

bool QSettingsStream::OpenKey(const QString& path) {
    Close();
    if (IsStoring() && !CanStore()) {
        return false;
    }
    settings_.beginGroup(QString(path).replace(u'\\', u'/'));
    keyOpen_ = true;
    return true;
}

// A per-user store reaches no other user's settings, so there is no default-user key.
bool QSettingsStream::OpenDefaultUserKey(const QString&) {
    Close();
    return false;
}

SettingsStream& QSettingsStream::Close() {
    if (keyOpen_) {
        settings_.endGroup();
        keyOpen_ = false;
    }
    return *this;
}

bool QSettingsStream::DeleteSubKey(const QString& name) {
    if (!CanWrite(name) || !settings_.childGroups().contains(name)) {
        return false;
    }
    // Removing each key inside the group spares a value of the open key with the same name.
    settings_.beginGroup(name);
    const QStringList keys = settings_.allKeys();
    settings_.endGroup();
    for (const QString& key : keys) {
        const QString path = name + u'/' + key;
        settings_.remove(path);
        RecordChange(path, std::nullopt);
    }
    return true;
}

bool QSettingsStream::DeleteAllSubKeys() {
    if (!IsStoring() || !keyOpen_) {
        return false;
    }
    const QStringList subKeys = settings_.childGroups();
    return std::all_of(subKeys.begin(), subKeys.end(),
                       [this](const QString& name) { return DeleteSubKey(name); });
}

bool QSettingsStream::WriteString(const QString& name, const QString& text) {
    return Write(name, text);
}

bool QSettingsStream::WriteDword(const QString& name, std::uint32_t value) {
    return Write(name, QVariant(static_cast<uint>(value)));
}

bool QSettingsStream::ReadString(const QString& name, QString& text) {
    const auto value = Read(name);
    const auto converted = value ? UntypedText(*value) : std::nullopt;
    if (!converted) {
        return false;
    }
    text = *converted;
    return true;
}

bool QSettingsStream::ReadDword(const QString& name, std::uint32_t& value) {
    const auto text = ReadPlainText(name);
    const auto number = text ? ParseDword(*text) : std::nullopt;
    if (!number) {
        return false;
    }
    value = *number;
    return true;
}

bool QSettingsStream::Commit() {
    if (stage_) {
        return stage_->Commit(changes_);
    }
    // QSettings keeps the first error it met, so once a registry write failed, later sound
    // writes report failure too, which errs on the safe side.
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

bool QSettingsStream::CanStore() const {
    return stage_ ? stage_->IsReady() : settings_.isWritable();
}

bool QSettingsStream::CanWrite(const QString& name) const {
    return IsStoring() && keyOpen_ && IsValueName(name);
}

void QSettingsStream::RecordChange(const QString& name, const std::optional<QVariant>& value) {
    changes_.push_back({settings_.group() + u'/' + name, value});
}

bool QSettingsStream::Write(const QString& name, const QVariant& value) {
    if (!CanWrite(name)) {
        return false;
    }
    settings_.setValue(name, value);
    RecordChange(name, value);
    return true;
}

std::optional<QVariant> QSettingsStream::Read(const QString& name) const {
    if (!keyOpen_ || !IsValueName(name)) {
        return std::nullopt;
    }
    QVariant value = settings_.value(name);
    if (!value.isValid()) {
        return std::nullopt;
    }
    return value;
}

std::optional<QString> QSettingsStream::ReadPlainText(const QString& name) const {
    const auto value = Read(name);
    return value ? PlainText(*value) : std::nullopt;
}

} // namespace ombrix::settings
