#pragma once

#include "cli/CliCommand.h"

#include <span>
#include <string>

namespace ombrix::cli {

// press [--serial N] KEY...: presses and releases each key (a key name of the
// loaded model, or 0xNN for a raw code) and sends the codes the key tables give,
// one per worker pass.
int RunPress(std::span<const std::string> arguments, CliContext& context);

} // namespace ombrix::cli
