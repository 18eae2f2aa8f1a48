#include "control/DeviceDirectory.h"

#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace ombrix::sim {

namespace {

const char* nonEmptyVariable(const char* name) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? value : nullptr;
}

} // namespace

std::filesystem::path defaultDeviceDirectory() {
    if (const char* explicitDirectory = nonEmptyVariable("OMBRIX_DEVICE_DIR")) {
        return explicitDirectory;
    }
    if (const char* runtimeDirectory = nonEmptyVariable("XDG_RUNTIME_DIR")) {
        return std::filesystem::path(runtimeDirectory) / "ombrix" / "devices";
    }
    return std::filesystem::path("/tmp") / ("ombrix-" + std::to_string(::getuid())) / "devices";
}

std::optional<std::string> prepareDeviceDirectory(const std::filesystem::path& directory) {
    std::error_code error;
    std::filesystem::path partial;
    for (const auto& part : directory) {
        partial /= part;
        if (std::filesystem::exists(partial, error)) {
            continue;
        }
        if (!std::filesystem::create_directory(partial, error)) {
            return partial.string() + ": cannot create the device directory: " + error.message();
        }
        std::filesystem::permissions(partial, std::filesystem::perms::owner_all, error);
    }
    if (!std::filesystem::is_directory(directory, error)) {
        return directory.string() + ": not a directory";
    }
    return std::nullopt;
}

} // namespace ombrix::sim
