#include "link/DeviceDirectory.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace ombrix::link {

namespace {

const char* nonEmptyVariable(const char* name) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? value : nullptr;
}

} // namespace

std::filesystem::path DeviceDirectory() {
    if (const char* explicitDir = nonEmptyVariable("OMBRIX_DEVICE_DIR")) {
        return explicitDir;
    }
    if (const char* runtimeDir = nonEmptyVariable("XDG_RUNTIME_DIR")) {
        return std::filesystem::path(runtimeDir) / "ombrix" / "devices";
    }
    return std::filesystem::path("/tmp") / ("ombrix-" + std::to_string(::getuid())) / "devices";
}

} // namespace ombrix::link
