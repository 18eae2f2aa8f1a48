#pragma once

#include "settings/Rect.h"

#include <QString>
#include <cstdint>
#include <string>

namespace ombrix::settings {

// How ReadString treats a value that is not plain text.
enum class TextForm {
    Untyped, // plain text only, cut at the first NUL character
    Typed,   // bytes as local 8-bit text, multi-part text as lines, NULs as line feeds
};

// Reads or writes named values of a few types under one open key of a hierarchical
// store. A stream is made for one direction, and every settings class runs one exchange
// routine that writes when IsStoring() and reads otherwise. Callers open a key by its
// full path, read or write values directly in it, then close it. Every operation reports
// success; a failed read leaves its output untouched.
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
    virtual bool WritePoint(const QString& name, std::int32_t x, std::int32_t y);
    virtual bool WriteRect(const QString& name, const Rect& rect);
    virtual bool WriteNarrowString(const QString& name, const std::string& text);
    virtual bool WriteBool(const QString& name, bool value);
    virtual bool WriteString(const QString& name, const QString& text) = 0;
    virtual bool WriteQword(const QString& name, std::uint64_t value) = 0;
    virtual bool WriteDword(const QString& name, std::uint32_t value) = 0;
    virtual bool ReadPoint(const QString& name, std::int32_t& x, std::int32_t& y);
    virtual bool ReadRect(const QString& name, Rect& rect);
    virtual bool ReadNarrowString(const QString& name, std::string& text);
    virtual bool ReadBool(const QString& name, bool& value);
    virtual bool ReadString(const QString& name, QString& text, TextForm form) = 0;
    virtual bool ReadQword(const QString& name, std::uint64_t& value) = 0;
    virtual bool ReadDword(const QString& name, std::uint32_t& value) = 0;
    // The address is an IPv4 address in network byte order, stored as dotted decimal text.
    virtual bool WriteAddress(const QString& name, std::uint32_t address);
    virtual bool ReadAddress(const QString& name, std::uint32_t& address);

private:
    bool storing_;
};

} // namespace ombrix::settings
