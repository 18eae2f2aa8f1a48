#pragma once

#include "link/UsbConnection.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ombrix::cli {

// Why a command found no instrument to work on, in one line for the user: which
// instruments the last search found and why the others could not be identified,
// or that the device directory cannot be searched. `wanted` is the serial the
// command was asked for, if any.
std::string DescribeMissingInstrument(std::optional<link::Serial> wanted,
                                      const std::vector<link::DeviceProbe>& probes,
                                      const std::optional<std::filesystem::path>& deviceDirectory);

} // namespace ombrix::cli
