#pragma once

#include "base/Rect.h"

#include <QString>
#include <cstdint>

namespace ombrix::settings {

// Reads or writes named values (32-bit numbers, booleans, text, rectangles) under one open key of a
// hierarchical store. A stream is made for one direction, and every settings class runs one
// exchange routine that writes when IsStoring() and reads otherwise. Callers open a key by its full
// path, read or write values directly in it, then close it. Every operation reports success; a
// failed read leaves its output untouched.
class SettingsStream {
public:
    explicit SettingsStream(bool storing) : storing_(storing) {}
    virtual ~SettingsStream() = default;
    SettingsStream(const SettingsStream&) = delete;
    SettingsStream& operator=(const SettingsStream&) = delete;

    bool IsStoring() const { return storing_; }

    virtual bool OpenKey(const QString& path) = 0;
    virtual bool OpenDefaultUserKey(const QString& path) = 0;
    virtual SettingsStream& Close() = 0;
    virtual bool DeleteSubKey(const QString& name) = 0;
    virtual bool DeleteAllSubKeys() = 0;
    virtual bool WriteRect(const QString& name, const base::Rect& rect);
    virtual bool WriteBool(const QString& name, bool value);
    virtual bool WriteString(const QString& name, const QString& text) = 0;
    virtual bool WriteDword(const QString& name, std::uint32_t value) = 0;
    virtual bool ReadRect(const QString& name, base::Rect& rect);
    virtual bool ReadBool(const QString& name, bool& value);
    // Plain text, cut at its first NUL character.
    virtual bool ReadString(const QString& name, QString& text) = 0;
    virtual bool ReadDword(const QString& name, std::uint32_t& value) = 0;

private:
    bool storing_;
};

} // namespace ombrix::settings
