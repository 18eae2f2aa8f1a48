#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ombrix::link {

// Looks up the value that follows ",<key>" (and a further "," when trailingComma
// is set) in a text reply. The value ends at the next "," or ";". When a match
// does not convert, the search goes on after it, so a later match may still give
// the value. Numbers are read locale-independently.
template <typename T>
std::optional<T> ReplyField(std::string_view reply, std::string_view key,
                            bool trailingComma = false);

template <> std::optional<std::int32_t> ReplyField(std::string_view, std::string_view, bool);
template <> std::optional<std::uint32_t> ReplyField(std::string_view, std::string_view, bool);
template <> std::optional<std::string> ReplyField(std::string_view, std::string_view, bool);

} // namespace ombrix::link
