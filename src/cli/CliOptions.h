#pragma once

#include "link/UsbConnection.h"
#include "link/UsbIdList.h"

#include <chrono>
#include <optional>
#include <string>

namespace ombrix::cli {

// A decimal serial number, the whole text.
std::optional<link::Serial> ParseSerial(const std::string& text);

// A positive whole number of seconds, at most a day.
std::optional<std::chrono::seconds> ParseSeconds(const std::string& text);

// A screenshot's or recording's zoom, a whole number from 1 to 4.
std::optional<int> ParseZoom(const std::string& text);

// A whole number of milliseconds from 0 to a minute.
std::optional<std::chrono::milliseconds> ParsePause(const std::string& text);

// One vendor:product pair such as 1a2b:0001, the whole text.
std::optional<link::UsbId> ParseUsbPair(const std::string& text);

} // namespace ombrix::cli
