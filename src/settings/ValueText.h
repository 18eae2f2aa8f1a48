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

// Decimal numbers separated by commas, as rectangles ("l,t,r,b") are stored.
QString FormatIntegers(std::initializer_list<std::int32_t> numbers);

// Every comma-separated token must be a whole decimal number; an empty token fails.
std::optional<std::vector<std::int32_t>> ParseIntegerList(const QString& text);

// A 32-bit value holds bits: its text may be signed or unsigned decimal.
std::optional<std::uint32_t> ParseDword(QStringView text);

} // namespace ombrix::settings
