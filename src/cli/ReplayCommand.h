#pragma once

#include "cli/CliCommand.h"

#include <span>
#include <string>

namespace ombrix::cli {

// replay FILE [--serial N] [--pause MS]: plays a saved commands history back,
// each entry's keys through the model's key tables, after checking the whole
// file against the model.
int RunReplay(std::span<const std::string> arguments, CliContext& context);

} // namespace ombrix::cli
