#pragma once

#include "catalogue/InstrumentModel.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace ombrix::sim {

struct InstrumentChoice {
    const InstrumentModel* model = nullptr;
    std::optional<std::uint32_t> serial;
};

struct TimedCommand {
    std::chrono::milliseconds delay{0};
    std::string text;
};

// The command line of ombrix-sim.
struct Options {
    std::optional<std::filesystem::path> deviceDirectory; // empty: the default one
    std::optional<std::filesystem::path> recordFile;
    std::vector<InstrumentChoice> instruments; // empty: one instrument of every model
    std::vector<std::string> startCommands;    // --do, in order
    std::vector<TimedCommand> timedCommands;   // --at
    // End when the process that started it ends, however that ends (a test
    // that crashed would otherwise leave it serving).
    bool exitWithParent = false;
    bool help = false;
};

// The options, or an error text for the first bad argument. `arguments` excludes
// the program name. Control commands given with --do and --at are checked here.
std::variant<Options, std::string> parseOptions(std::span<const std::string> arguments);

std::string helpText();

} // namespace ombrix::sim
