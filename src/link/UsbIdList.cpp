#include "link/UsbIdList.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace ombrix::link {

namespace {

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::optional<std::uint16_t> parseHex16(std::string_view text) {
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    std::uint16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<UsbId> parseEntry(std::string_view entry) {
    const auto colon = entry.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto vendor = parseHex16(entry.substr(0, colon));
    const auto product = parseHex16(entry.substr(colon + 1));
    if (!vendor || !product) {
        return std::nullopt;
    }
    return UsbId{*vendor, *product};
}

} // namespace

UsbIdList ParseUsbIds(std::string_view text) {
    UsbIdList list;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const auto entry = trim(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (entry.empty()) {
            continue;
        }
        if (const auto id = parseEntry(entry)) {
            list.ids.push_back(*id);
        } else {
            list.rejected.emplace_back(entry);
        }
    }
    return list;
}

std::string FormatUsbId(const UsbId& id) {
    char text[16];
    std::snprintf(text, sizeof text, "%04x:%04x", id.vendor, id.product);
    return text;
}

std::string FormatUsbIds(const std::vector<UsbId>& ids) {
    std::string text;
    for (const UsbId& id : ids) {
        if (!text.empty()) {
            text += ',';
        }
        text += FormatUsbId(id);
    }
    return text;
}

std::vector<UsbId> MergeUsbIds(const std::vector<UsbId>& first, const std::vector<UsbId>& second) {
    std::vector<UsbId> merged = first;
    for (const UsbId& id : second) {
        if (std::find(merged.begin(), merged.end(), id) == merged.end()) {
            merged.push_back(id);
        }
    }
    return merged;
}

std::string UsbDevicePath(std::uint8_t bus, const std::vector<std::uint8_t>& ports) {
    std::string path(kUsbPathPrefix);
    path.append(std::to_string(bus)).push_back('-');
    if (ports.empty()) {
        path.push_back('0'); // a root hub has no port path
        return path;
    }
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (i > 0) {
            path.push_back('.');
        }
        path.append(std::to_string(ports[i]));
    }
    return path;
}

std::vector<UsbId> UsbIdsFromText(std::string_view text, std::string_view source,
                                  std::string_view program, std::ostream& warnings) {
    const UsbIdList list = ParseUsbIds(text);
    for (const auto& entry : list.rejected) {
        warnings << program << ": ignoring " << source << " entry '" << entry
                 << "' (expected vvvv:pppp in hexadecimal)\n";
    }
    return list.ids;
}

std::vector<UsbId> UsbIdsFromEnvironment(std::string_view program, std::ostream& warnings) {
    const char* text = std::getenv("OMBRIX_USB_IDS");
    return UsbIdsFromText(text == nullptr ? "" : text, "OMBRIX_USB_IDS", program, warnings);
}

} // namespace ombrix::link
