#pragma once

#include "protocol/Command.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace ombrix::sim {

enum class ControlVerb : std::uint8_t {
    Help,
    List,
    Quit,
    Unplug,
    Replug,
    Swap,
    Garbage,
    Stall,
    Unsupported,
    Cut,
    Trickle,
    Rate,
    Key,
    Clear,
    Freeze,
    Snapshot,
};

// One line of the control channel, checked for form; whether the port exists is
// checked when it is carried out.
struct ControlCommand {
    ControlVerb verb = ControlVerb::Help;
    std::optional<int> port;             // empty: every port ("all")
    std::string model;                   // swap
    std::optional<std::uint32_t> serial; // swap
    std::optional<CommandKind> request;  // unsupported, cut
    bool enable = false;                 // garbage, stall, unsupported, cut, freeze
    std::uint64_t amount = 0;            // cut: bytes; trickle: ms; rate: bytes/s; key: code
    std::string file;                    // snapshot
};

// The command, or an error text saying what is wrong with the line.
std::variant<ControlCommand, std::string> parseControlCommand(std::string_view line);

// The control commands as --help and "help" list them.
std::string_view controlHelp();

} // namespace ombrix::sim
