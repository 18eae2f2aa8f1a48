#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace ombrix::link {

// Where socket instruments live: $OMBRIX_DEVICE_DIR, else
// $XDG_RUNTIME_DIR/ombrix/devices, else /tmp/ombrix-<uid>/devices.
std::filesystem::path DeviceDirectory();

// Why no socket instrument can be found in `directory`: it does not exist, is
// not a directory, or cannot be read. None when it can be searched.
std::optional<std::string> DeviceDirectoryProblem(const std::filesystem::path& directory);

} // namespace ombrix::link
