#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ombrix::sim {

// The requests an instrument understands.
enum class CommandKind : std::uint8_t {
    Identify,         // ";#1,U?,W?,N?,S?;"
    ShortIdentify,    // ";#1,U?,N?;"
    UsValue,          // ";#7,US;"
    ScreenParameters, // "#7,SP,1;"
    Palette,          // "#7,SP,2;"
    Status,           // "#7,SP,3;"
    Icons,            // "#7,IC;"
    Screen,           // "#7,SC;"
    Key,              // ";#0,X;" with X one raw byte
};

struct Command {
    CommandKind kind = CommandKind::Identify;
    std::uint8_t keyCode = 0; // only for CommandKind::Key
    bool operator==(const Command&) const = default;
};

// Short names of the commands that have a reply, as control commands use them.
std::string_view commandName(CommandKind kind);
std::optional<CommandKind> commandFromName(std::string_view name);

} // namespace ombrix::sim
