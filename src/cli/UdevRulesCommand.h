#pragma once

#include "cli/CliCommand.h"
#include "link/UsbIdList.h"

#include <span>
#include <string>
#include <vector>

namespace ombrix::cli {

// The udev rules that let the logged-in user open the instruments of these
// vendor:product pairs without root (the uaccess tag), one line a pair.
std::string UdevRules(const std::vector<link::UsbId>& ids);

// udev-rules VVVV:PPPP...: prints the rules for the pairs given.
int RunUdevRules(std::span<const std::string> arguments, CliContext& context);

} // namespace ombrix::cli
