#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::link {

inline constexpr std::string_view kUsbPathPrefix = "usb:";

struct UsbId {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    bool operator==(const UsbId&) const = default;
};

struct UsbIdList {
    std::vector<UsbId> ids;
    std::vector<std::string> rejected; // entries that are not "vvvv:pppp"
};

// Reads "vvvv:pppp,..." (hexadecimal, white space around entries allowed).
UsbIdList ParseUsbIds(std::string_view text);

// "vvvv:pppp,..." in lower-case hexadecimal, the form ParseUsbIds reads.
std::string FormatUsbIds(const std::vector<UsbId>& ids);
std::string FormatUsbId(const UsbId& id);

// The pairs of `first`, then those of `second` that `first` lacks.
std::vector<UsbId> MergeUsbIds(const std::vector<UsbId>& first, const std::vector<UsbId>& second);

// The pairs in `text`. Each entry that is not a pair is named on `warnings`,
// after `program`, as an entry of `source`, and left out.
std::vector<UsbId> UsbIdsFromText(std::string_view text, std::string_view source,
                                  std::string_view program, std::ostream& warnings);

// The pairs listed in $OMBRIX_USB_IDS (none when it is not set), as above.
std::vector<UsbId> UsbIdsFromEnvironment(std::string_view program, std::ostream& warnings);

// "usb:" bus "-" port path, e.g. "usb:1-4.2".
std::string UsbDevicePath(std::uint8_t bus, const std::vector<std::uint8_t>& ports);

} // namespace ombrix::link
