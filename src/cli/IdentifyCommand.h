#pragma once

#include "cli/CliCommand.h"

namespace ombrix::cli {

int RunIdentify(std::span<const std::string> arguments, CliContext& context);

} // namespace ombrix::cli
