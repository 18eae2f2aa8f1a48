#include "session/ProgramDirectory.h"

#include <cstdlib>
#include <system_error>

namespace ombrix::session {

namespace {

constexpr const char* kExecutableLink = "/proc/self/exe";

} // namespace

std::filesystem::path ProgramDirectory(const std::optional<std::filesystem::path>& modelDir,
                                       const std::filesystem::path& executableDir) {
    if (modelDir) {
        return *modelDir;
    }
    std::error_code error;
    if (std::filesystem::is_directory(executableDir / kDataFolder, error)) {
        return executableDir;
    }
    // An installed program lives in <prefix>/bin and its models in <prefix>/share.
    return executableDir.parent_path() / "share" / "ombrix";
}

std::filesystem::path ProgramDirectory() {
    const char* variable = std::getenv(kModelDirVariable);
    std::optional<std::filesystem::path> modelDir;
    if (variable != nullptr && *variable != '\0') {
        modelDir = variable;
    }
    return ProgramDirectory(modelDir, executableDirectory());
}

std::filesystem::path executableDirectory() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink(kExecutableLink, error);
    return error ? std::filesystem::path() : executable.parent_path();
}

} // namespace ombrix::session
