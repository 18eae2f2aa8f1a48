#include "cli/UdevRulesCommand.h"

#include "cli/CliOptions.h"

#include <algorithm>
#include <cstdio>

namespace ombrix::cli {

namespace {

std::string hex4(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

} // namespace

// The uaccess tag is acted on by 71-seat.rules and 73-seat-late.rules: a file
// that sorts before them, such as 70-ombrix.rules, is read in time.
std::string UdevRules(const std::vector<link::UsbId>& ids) {
    std::string rules = "# Ombrix instruments, usable over USB by the user logged in at the seat.\n"
                        "# Install as /etc/udev/rules.d/70-ombrix.rules, then run\n"
                        "#   sudo udevadm control --reload-rules && sudo udevadm trigger\n";
    for (const link::UsbId& id : ids) {
        rules += "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\"" +
                 hex4(id.vendor) + "\", ATTR{idProduct}==\"" + hex4(id.product) +
                 "\", TAG+=\"uaccess\"\n";
    }
    return rules;
}

int RunUdevRules(std::span<const std::string> arguments, CliContext& context) {
    std::vector<link::UsbId> ids;
    for (const std::string& argument : arguments) {
        const std::optional<link::UsbId> id = ParseUsbPair(argument);
        if (!id) {
            context.err << "ombrix-cli udev-rules: '" << argument
                        << "' is not a vendor:product pair such as 1a2b:0001\n";
            return kUsageError;
        }
        if (std::find(ids.begin(), ids.end(), *id) == ids.end()) {
            ids.push_back(*id);
        }
    }
    if (ids.empty()) {
        context.err << "ombrix-cli udev-rules: name at least one vendor:product pair\n";
        return kUsageError;
    }
    context.out << UdevRules(ids);
    return 0;
}

} // namespace ombrix::cli
