#pragma once

#include <filesystem>

namespace ombrix::session {

// The regular file `name` in `folder`: the exact name if it exists, else an entry
// whose name differs only in letter case (the lowest such name when there are
// several), since model names are spelt in mixed case and Linux file names are
// case-sensitive. `name` must be a plain file name. Empty when nothing fits.
std::filesystem::path findFileIgnoringCase(const std::filesystem::path& folder,
                                           const std::filesystem::path& name);

} // namespace ombrix::session
