#pragma once

#include "link/Clock.h"
#include "link/DeviceBackend.h"
#include "link/DeviceClaims.h"
#include "link/UsbIdList.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::cli {

// Exit status of a command line that could not be understood.
inline constexpr int kUsageError = 64;

// What a command works with; main builds it, tests build it over a scripted backend.
struct CliContext {
    link::DeviceBackend& backend;
    link::Clock& clock;
    std::ostream& out;
    std::ostream& err;
    // Where socket instruments are looked for, to say why none was found.
    std::optional<std::filesystem::path> deviceDirectory = std::nullopt;
    // Where the instruments programs hold are recorded; none records nothing.
    link::DeviceClaims* claims = nullptr;
    // The USB vendor:product pairs in effect (setting and environment).
    std::vector<link::UsbId> usbIds = {};
};

struct CliCommand {
    std::string_view name;
    std::string_view synopsis;
    std::string_view description; // lines of the help text, exit statuses included
    int (*run)(std::span<const std::string> arguments, CliContext& context);
};

// Runs the command named by arguments[0] with the rest as its arguments.
int RunCli(std::span<const std::string> arguments, CliContext& context);

} // namespace ombrix::cli
