#pragma once

#include "base/Rect.h"
#include "settings/SettingsStream.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace ombrix::settings {

// One value of a settings class in the stream's direction: written when the stream
// stores, read when it loads (a failed read keeps the field as it was).
bool ExchangeValue(SettingsStream& stream, const QString& name, std::uint32_t& value);
bool ExchangeValue(SettingsStream& stream, const QString& name, std::int32_t& value);
bool ExchangeValue(SettingsStream& stream, const QString& name, bool& value);
bool ExchangeValue(SettingsStream& stream, const QString& name, QString& value);
bool ExchangeValue(SettingsStream& stream, const QString& name, base::Rect& value);
// A rectangle that may be absent: written only when it is there, and there
// after a load only when the store has it.
bool ExchangeValue(SettingsStream& stream, const QString& name, std::optional<base::Rect>& value);

// A folder value; empty stands for the default folder, both before storing and after loading.
bool ExchangeFolder(SettingsStream& stream, const QString& name, QString& folder);

// Opens the key at path, runs exchangeValues and closes the key. If the key cannot be
// opened nothing is exchanged and the result is false.
template <typename ExchangeValues>
bool ExchangeInKey(SettingsStream& stream, const QString& path, ExchangeValues exchangeValues) {
    if (!stream.OpenKey(path)) {
        return false;
    }
    const bool exchanged = exchangeValues();
    stream.Close();
    return exchanged;
}

} // namespace ombrix::settings
