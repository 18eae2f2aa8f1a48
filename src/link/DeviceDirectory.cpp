#include "link/DeviceDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
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

std::optional<std::string> DeviceDirectoryProblem(const std::filesystem::path& directory) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(directory, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return "the device directory " + directory.string() + " does not exist";
    }
    if (error) {
        return "the device directory " + directory.string() + " cannot be read (" +
               error.message() + ")";
    }
    if (!std::filesystem::is_directory(status)) {
        return directory.string() + ", the device directory, is not a directory";
    }
    DIR* listing = ::opendir(directory.c_str());
    if (listing == nullptr) {
        return "the device directory " + directory.string() + " cannot be read (" +
               std::strerror(errno) + ")";
    }
    ::closedir(listing);
    return std::nullopt;
}

} // namespace ombrix::link
