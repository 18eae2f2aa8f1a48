#pragma once

#include "cli/CliCommand.h"

#include <span>
#include <string>

namespace ombrix::cli {

// capture -o FILE.png [--serial N] [--timeout SECONDS]: runs the session until a
// frame has been read and converted, then writes the screen image as PNG.
int RunCapture(std::span<const std::string> arguments, CliContext& context);

} // namespace ombrix::cli
