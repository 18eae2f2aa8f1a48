#include "cli/CliOptions.h"

#include <charconv>

namespace ombrix::cli {

namespace {

constexpr std::chrono::seconds kLongestTimeout{24 * 60 * 60};
constexpr std::chrono::milliseconds kLongestPause{60 * 1000};
constexpr int kMaxZoom = 4;

template <typename Number> std::optional<Number> parseWhole(const std::string& text) {
    Number value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<link::Serial> ParseSerial(const std::string& text) {
    return parseWhole<link::Serial>(text);
}

std::optional<std::chrono::seconds> ParseSeconds(const std::string& text) {
    const std::optional<std::uint32_t> value = parseWhole<std::uint32_t>(text);
    if (!value || *value == 0 || std::chrono::seconds(*value) > kLongestTimeout) {
        return std::nullopt;
    }
    return std::chrono::seconds(*value);
}

std::optional<int> ParseZoom(const std::string& text) {
    const std::optional<int> zoom = parseWhole<int>(text);
    if (!zoom || *zoom < 1 || *zoom > kMaxZoom) {
        return std::nullopt;
    }
    return zoom;
}

std::optional<std::chrono::milliseconds> ParsePause(const std::string& text) {
    const std::optional<std::uint32_t> value = parseWhole<std::uint32_t>(text);
    if (!value || std::chrono::milliseconds(*value) > kLongestPause) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(*value);
}

std::optional<link::UsbId> ParseUsbPair(const std::string& text) {
    const link::UsbIdList parsed = link::ParseUsbIds(text);
    if (parsed.ids.size() != 1 || !parsed.rejected.empty() || text.find(',') != std::string::npos) {
        return std::nullopt;
    }
    return parsed.ids.front();
}

} // namespace ombrix::cli
