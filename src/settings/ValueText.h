#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::settings {

// Text forms of stored numbers. Parsing and formatting ignore the C and C++ locales, so a
// German locale never turns 1200 into "1.200".

// Decimal numbers separated by commas, as points ("x,y") and rectangles ("l,t,r,b") are stored.
QString FormatIntegers(std::initializer_list<std::int32_t> numbers);

// Every comma-separated token must be a whole decimal number; an empty token fails.
std::optional<std::vector<std::int32_t>> ParseIntegerList(const QString& text);

// A 32- or 64-bit value holds bits: its text may be signed or unsigned decimal.
std::optional<std::uint32_t> ParseDword(QStringView text);
std::optional<std::uint64_t> ParseQword(QStringView text);

// An IPv4 address in network byte order (first octet in the lowest-addressed byte) as
// dotted decimal text, and back. Only four decimal octets of 0 to 255 parse.
std::string FormatAddress(std::uint32_t address);
std::optional<std::uint32_t> ParseAddress(std::string_view text);

} // namespace ombrix::settings
