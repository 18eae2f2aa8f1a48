#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ombrix::session {

// The instrument's identification: its last "#1" reply and its "US" value.
struct OrmaSettings {
    std::string reply;        // up to and including the ";"
    std::wstring wideReply;   // the reply as text; filled on first use
    std::int32_t usValue = 0; // 0 when the instrument gave none

    // Stores a new reply; its text form is made again when next asked for.
    void storeReply(std::string text);
    const std::wstring& wide();
    void clear();

    bool operator==(const OrmaSettings&) const = default;
};

// Reply bytes as text in the platform's 8-bit encoding; bytes that do not decode
// become U+FFFD, which no field of a reply accepts.
std::wstring wideFromReply(std::string_view bytes);

} // namespace ombrix::session
