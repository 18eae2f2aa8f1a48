#include "settings/ValueExchange.h"

#include "settings/DefaultFolder.h"

namespace ombrix::settings {

bool ExchangeValue(SettingsStream& stream, const QString& name, std::uint32_t& value) {
    return stream.IsStoring() ? stream.WriteDword(name, value) : stream.ReadDword(name, value);
}

// Signed values are stored as the bits of a 32-bit value.
bool ExchangeValue(SettingsStream& stream, const QString& name, std::int32_t& value) {
    auto bits = static_cast<std::uint32_t>(value);
    if (!ExchangeValue(stream, name, bits)) {
        return false;
    }
    value = static_cast<std::int32_t>(bits);
    return true;
}

bool ExchangeValue(SettingsStream& stream, const QString& name, bool& value) {
    return stream.IsStoring() ? stream.WriteBool(name, value) : stream.ReadBool(name, value);
}

bool ExchangeValue(SettingsStream& stream, const QString& name, QString& value) {
    return stream.IsStoring() ? stream.WriteString(name, value) : stream.ReadString(name, value);
}

bool ExchangeValue(SettingsStream& stream, const QString& name, base::Rect& value) {
    return stream.IsStoring() ? stream.WriteRect(name, value) : stream.ReadRect(name, value);
}

bool ExchangeValue(SettingsStream& stream, const QString& name, std::optional<base::Rect>& value) {
    if (stream.IsStoring()) {
        return !value || stream.WriteRect(name, *value);
    }
    base::Rect read;
    if (!stream.ReadRect(name, read)) {
        return false;
    }
    value = read;
    return true;
}

bool ExchangeFolder(SettingsStream& stream, const QString& name, QString& folder) {
    UseDefaultFolderIfEmpty(folder);
    const bool exchanged = ExchangeValue(stream, name, folder);
    UseDefaultFolderIfEmpty(folder);
    return exchanged;
}

} // namespace ombrix::settings
