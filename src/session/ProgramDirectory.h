#pragma once

#include <filesystem>
#include <optional>

namespace ombrix::session {

// Environment variable that points the program at a folder of model files.
inline constexpr const char* kModelDirVariable = "OMBRIX_MODEL_DIR";
// The folder beside the program that holds the model description files.
inline constexpr const char* kDataFolder = "Data";

// The folder where model description files are looked for: `modelDir` when given;
// else `executableDir` when it holds a "Data" folder (a build or an unpacked copy);
// else the "share/ombrix" folder of the prefix the program is installed under.
std::filesystem::path ProgramDirectory(const std::optional<std::filesystem::path>& modelDir,
                                       const std::filesystem::path& executableDir);

// The same for this process: $OMBRIX_MODEL_DIR (unless empty) and the folder of
// the running executable.
std::filesystem::path ProgramDirectory();

// Folder of the running executable; empty when the system does not say.
std::filesystem::path executableDirectory();

} // namespace ombrix::session
