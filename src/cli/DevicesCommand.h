#pragma once

#include "cli/CliCommand.h"

namespace ombrix::cli {

int RunDevices(std::span<const std::string> arguments, CliContext& context);

} // namespace ombrix::cli
