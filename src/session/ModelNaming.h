#pragma once

#include "session/IdentificationResult.h"

#include <cstdint>
#include <string>

namespace ombrix::session {

// The model description file of an identified instrument, looked for in the
// "Data" folder; `mode` is the instrument's "US" value. A name without folder.
std::wstring ModelFileName(const IdentificationResult& identification, std::int32_t mode);

// The file shared by a family of related models, looked for in the program
// directory when the instrument has no file of its own.
std::wstring FamilyFileName(const IdentificationResult& identification);

} // namespace ombrix::session
