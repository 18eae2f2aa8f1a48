#pragma once

#include <filesystem>

namespace ombrix::link {

// Where socket instruments live: $OMBRIX_DEVICE_DIR, else
// $XDG_RUNTIME_DIR/ombrix/devices, else /tmp/ombrix-<uid>/devices.
std::filesystem::path DeviceDirectory();

} // namespace ombrix::link
