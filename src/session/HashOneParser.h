#pragma once

#include "session/IdentificationResult.h"

#include <string_view>

namespace ombrix::session {

// Splits an identification reply such as "#1,U745A,W1.05.3,N31,S0;" into its
// fields. Parsing stops at the first character that does not continue the reply;
// the fields matched before it are kept, so a damaged reply still says what it can.
// Character classes are ASCII, whatever the user's locale.
IdentificationResult hashOneParser(std::wstring_view reply);

} // namespace ombrix::session
