#pragma once

#include "cli/CliCommand.h"

#include <span>
#include <string>

namespace ombrix::cli {

// ombrix-cli record -o FILE [--duration S] [--zoom Z] [--framed] [--serial N]
int RunRecord(std::span<const std::string> arguments, CliContext& context);

} // namespace ombrix::cli
