#include "control/Options.h"

#include "catalogue/ModelCatalogue.h"
#include "control/ControlCommand.h"

#include <charconv>
#include <sstream>

namespace ombrix::sim {

namespace {

constexpr std::uint64_t kMaxDelayMs = 24ULL * 60 * 60 * 1000;

constexpr std::string_view kUsage =
    "Usage: ombrix-sim [OPTIONS] [MODEL[:SERIAL]]...\n"
    "\n"
    "Simulated ORMA instruments for Ombrix. Each instrument is a Unix-domain socket\n"
    "port<N>.sock in the device directory, numbered from 1 in the order given; the\n"
    "application finds it there as if it were plugged in over USB. With no MODEL,\n"
    "one instrument of every model is served. A model given twice gets the next\n"
    "free serial number. Runs until SIGINT, SIGTERM or the control command quit,\n"
    "and then removes its socket files.\n"
    "\n"
    "Each instrument serves one host at a time: a second connection is accepted and\n"
    "closed at once. Bytes travel unchanged, without framing.\n"
    "\n"
    "Options:\n"
    "  --device-dir DIR   serve the sockets in DIR (created when missing). Default:\n"
    "                     $OMBRIX_DEVICE_DIR, else $XDG_RUNTIME_DIR/ombrix/devices,\n"
    "                     else /tmp/ombrix-<uid>/devices\n"
    "  --record FILE      write everything the instruments receive to FILE, one line\n"
    "                     per event: <microseconds> port<N> <event>[ <hex bytes>];\n"
    "                     events: plug, unplug, connect, refuse, disconnect, rx\n"
    "  --do COMMAND       run a control command at start (repeatable, in order),\n"
    "                     for example --do \"trickle all 20\"\n"
    "  --at MS:COMMAND    run a control command MS milliseconds after start,\n"
    "                     for example --at \"5000:unplug 1\"\n"
    "  --exit-with-parent end when the program that started it ends\n"
    "  --help             show this text\n"
    "\n"
    "On start one line per port is written (as \"list\" shows it), then \"ready\".\n"
    "\n";

using Parsed = std::variant<Options, std::string>;

std::optional<std::uint64_t> parseDecimal(std::string_view text, std::uint64_t maximum) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
        value > maximum) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> checkCommand(std::string_view text) {
    const auto parsed = parseControlCommand(text);
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        return "bad control command \"" + std::string(text) + "\": " + *error;
    }
    return std::nullopt;
}

std::optional<std::string> parseInstrument(std::string_view text, Options& options) {
    const std::size_t colon = text.find(':');
    const std::string_view key = text.substr(0, colon);
    const InstrumentModel* model = findModel(key);
    if (model == nullptr) {
        return "unknown model \"" + std::string(key) + "\" (see --help)";
    }
    InstrumentChoice choice{model, std::nullopt};
    if (colon != std::string_view::npos) {
        const auto serial = parseDecimal(text.substr(colon + 1), UINT32_MAX);
        if (!serial) {
            return "bad serial number in \"" + std::string(text) + "\"";
        }
        choice.serial = static_cast<std::uint32_t>(*serial);
    }
    options.instruments.push_back(choice);
    return std::nullopt;
}

std::optional<std::string> parseTimed(std::string_view text, Options& options) {
    const std::size_t colon = text.find(':');
    const auto delay = parseDecimal(text.substr(0, colon), kMaxDelayMs);
    if (colon == std::string_view::npos || !delay) {
        return "--at needs MS:COMMAND, not \"" + std::string(text) + "\"";
    }
    const std::string_view command = text.substr(colon + 1);
    if (auto error = checkCommand(command)) {
        return error;
    }
    options.timedCommands.push_back({std::chrono::milliseconds(*delay), std::string(command)});
    return std::nullopt;
}

std::optional<std::string> applyOption(std::string_view name, std::string_view value,
                                       Options& options) {
    if (name == "--device-dir") {
        options.deviceDirectory = std::filesystem::path(value);
    } else if (name == "--record") {
        options.recordFile = std::filesystem::path(value);
    } else if (name == "--do") {
        if (auto error = checkCommand(value)) {
            return error;
        }
        options.startCommands.emplace_back(value);
    } else {
        return parseTimed(value, options);
    }
    return std::nullopt;
}

bool takesValue(std::string_view name) {
    return name == "--device-dir" || name == "--record" || name == "--do" || name == "--at";
}

std::string keyTable() {
    const KeyCodes& keys = allModels().front().keys;
    std::ostringstream out;
    out << std::hex << std::uppercase << "Keys (codes for \"key\" and \";#0,X;\"): ENTER 0x"
        << int{keys.enter} << ", ESC 0x" << int{keys.escape} << ", LEFT 0x" << int{keys.left}
        << ", UP 0x" << int{keys.up} << ", RIGHT 0x" << int{keys.right} << ", DOWN 0x"
        << int{keys.down} << ",\n  MENU 0x" << int{keys.menu} << ", HOLD 0x" << int{keys.hold}
        << ", point 0x" << int{keys.point} << ", digits 0x" << int{keys.digits.front()} << " to 0x"
        << int{keys.digits.back()} << ", BACKLIGHT:";
    for (const InstrumentModel& model : allModels()) {
        out << ' ' << model.key << " 0x" << int{model.keys.backlight};
    }
    out << '\n';
    return out.str();
}

std::string modelTable() {
    std::ostringstream out;
    out << "Models (MODEL: name, display, identification, US value):\n";
    for (const InstrumentModel& model : allModels()) {
        const Identification& id = model.identification;
        out << "  " << model.key << std::string(9 - std::min<std::size_t>(8, model.key.size()), ' ')
            << model.hardwareName << ": " << model.summary << "\n           U" << id.unitType
            << id.letter << " W" << id.firmware << " N" << id.serial;
        out << (id.usValue ? " US " + std::to_string(*id.usValue) : std::string(" no US"));
        out << ", model file " << model.modelFileName;
        if (model.shippedFile == ModelFileKind::Family) {
            out << " (absent: family file " << model.familyFileName << ")";
        }
        out << '\n';
    }
    return out.str();
}

// Takes the argument at `index`, and the one after it when that is its value.
std::optional<std::string> parseArgument(std::span<const std::string> arguments, std::size_t& index,
                                         Options& options) {
    const std::string_view argument = arguments[index];
    if (argument == "--help" || argument == "-h") {
        options.help = true;
        return std::nullopt;
    }
    if (argument == "--exit-with-parent") {
        options.exitWithParent = true;
        return std::nullopt;
    }
    if (!argument.starts_with("-")) {
        return parseInstrument(argument, options);
    }
    const std::size_t equals = argument.find('=');
    const std::string_view name = argument.substr(0, equals);
    if (!takesValue(name)) {
        return "unknown option \"" + std::string(argument) + "\" (see --help)";
    }
    std::string_view value;
    if (equals != std::string_view::npos) {
        value = argument.substr(equals + 1);
    } else if (index + 1 < arguments.size()) {
        value = arguments[++index];
    }
    if (value.empty()) {
        return "option " + std::string(name) + " needs a value";
    }
    return applyOption(name, value, options);
}

} // namespace

std::variant<Options, std::string> parseOptions(std::span<const std::string> arguments) {
    Options options;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        if (auto error = parseArgument(arguments, index, options)) {
            return *error;
        }
    }
    return options;
}

std::string helpText() {
    return std::string(kUsage) + modelTable() + keyTable() + "\n" + std::string(controlHelp());
}

} // namespace ombrix::sim
