#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace ombrix::sim {

// Where instruments are served unless --device-dir says otherwise:
// $OMBRIX_DEVICE_DIR, else $XDG_RUNTIME_DIR/ombrix/devices, else
// /tmp/ombrix-<uid>/devices. The same rule the application searches by.
std::filesystem::path defaultDeviceDirectory();

// Creates the directory and its missing parents (owner-only access for the new
// ones); the error text when that failed.
std::optional<std::string> prepareDeviceDirectory(const std::filesystem::path& directory);

} // namespace ombrix::sim
