#include "link/ReplyField.h"

#include <charconv>
#include <functional>

namespace ombrix::link {

namespace {

constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

std::string_view skipWhiteSpace(std::string_view text) {
    const auto first = text.find_first_not_of(kWhiteSpace);
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

// Reads a decimal number the way stream extraction does: leading white space
// skipped, an optional sign, digits up to the first non-digit. A negative text is
// refused for unsigned types instead of wrapping around.
template <typename T> std::optional<T> readNumber(std::string_view text) {
    text = skipWhiteSpace(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{}) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> readWord(std::string_view text) {
    text = skipWhiteSpace(text);
    const auto end = text.find_first_of(kWhiteSpace);
    std::string word(text.substr(0, end));
    if (word.empty()) {
        return std::nullopt;
    }
    return word;
}

template <typename T>
std::optional<T> findField(std::string_view reply, std::string_view key, bool trailingComma,
                           const std::function<std::optional<T>(std::string_view)>& convert) {
    std::string pattern = ",";
    pattern.append(key);
    if (trailingComma) {
        pattern.push_back(',');
    }
    std::string_view rest = reply;
    while (true) {
        const auto match = rest.find(pattern);
        if (match == std::string_view::npos) {
            return std::nullopt;
        }
        rest = rest.substr(match + pattern.size());
        const auto valueEnd = rest.find_first_of(",;");
        if (auto value = convert(rest.substr(0, valueEnd))) {
            return value;
        }
    }
}

} // namespace

template <>
std::optional<std::int32_t> ReplyField(std::string_view reply, std::string_view key,
                                       bool trailingComma) {
    return findField<std::int32_t>(reply, key, trailingComma, readNumber<std::int32_t>);
}

template <>
std::optional<std::uint32_t> ReplyField(std::string_view reply, std::string_view key,
                                        bool trailingComma) {
    return findField<std::uint32_t>(reply, key, trailingComma, readNumber<std::uint32_t>);
}

template <>
std::optional<std::string> ReplyField(std::string_view reply, std::string_view key,
                                      bool trailingComma) {
    return findField<std::string>(reply, key, trailingComma, readWord);
}

} // namespace ombrix::link
