#include "settings/ValueText.h"

#include <QByteArray>
#include <QStringList>
#include <charconv>
#include <type_traits>

namespace ombrix::settings {
namespace {

template <typename Integer> std::optional<Integer> ParseDecimal(std::string_view text) {
    Integer value{};
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

// Blanks around a number are accepted, as a hand-edited file may carry them. Characters
// beyond Latin-1 become '?' and so fail to parse.
QByteArray NumberBytes(QStringView text) {
    return text.trimmed().toLatin1();
}

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

template <typename Unsigned> std::optional<Unsigned> ParseBits(QStringView text) {
    const QByteArray bytes = NumberBytes(text);
    if (const auto value = ParseDecimal<Unsigned>(View(bytes))) {
        return value;
    }
    if (const auto value = ParseDecimal<std::make_signed_t<Unsigned>>(View(bytes))) {
        return static_cast<Unsigned>(*value);
    }
    return std::nullopt;
}

} // namespace

QString FormatIntegers(std::initializer_list<std::int32_t> numbers) {
    QStringList texts;
    for (const std::int32_t number : numbers) {
        texts.append(QString::number(number));
    }
    return texts.join(u',');
}

std::optional<std::vector<std::int32_t>> ParseIntegerList(const QString& text) {
    std::vector<std::int32_t> numbers;
    for (const QString& token : text.split(u',')) {
        const auto number = ParseDecimal<std::int32_t>(View(NumberBytes(token)));
        if (!number) {
            return std::nullopt;
        }
        numbers.push_back(*number);
    }
    return numbers;
}

std::optional<std::uint32_t> ParseDword(QStringView text) {
    return ParseBits<std::uint32_t>(text);
}

} // namespace ombrix::settings
