#pragma once

#include "cli/CliCommand.h"

#include <span>
#include <string>

namespace ombrix::cli {

// usb-ids add|remove VVVV:PPPP... | usb-ids list: edits and shows the USB
// vendor:product pairs of the settings, which ombrix shares.
int RunUsbIds(std::span<const std::string> arguments, CliContext& context);

} // namespace ombrix::cli
