#include "control/ControlCommand.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>
#include <vector>

namespace ombrix::sim {

namespace {

constexpr std::uint64_t kMaxTrickleGapMs = 60'000;
constexpr std::uint64_t kMaxByteRate = 1'000'000'000;
constexpr std::uint64_t kMaxCutBytes = 1'000'000;
constexpr std::uint64_t kMaxKeyCode = 0xFF;
constexpr int kMaxPort = 999;

constexpr std::string_view kHelp =
    "Control commands (one per line on standard input, or with --do/--at).\n"
    "PORT is a port number from the list, or \"all\". Each command answers \"ok\"\n"
    "or \"error: ...\" on a line of its own.\n"
    "  help                          this text\n"
    "  list                          one line per port: number, model, serial,\n"
    "                                plugged or unplugged, host, \"frozen\" when\n"
    "                                frozen, faults, socket\n"
    "  quit                          remove the socket files and stop\n"
    "  unplug PORT                   remove the socket file, drop the host\n"
    "  replug PORT                   create the socket file again\n"
    "  swap PORT MODEL [SERIAL]      plug another model into the port (keeps the\n"
    "                                serial unless one is given; drops the host)\n"
    "  garbage PORT on|off           answer identification requests with garbage\n"
    "  stall PORT on|off             stop answering (and ignore keys)\n"
    "  unsupported PORT REQ on|off   answer REQ with the not-supported marker \"#7,?;\"\n"
    "                                REQ: us sp1 sp2 sp3 ic sc\n"
    "  cut PORT REQ BYTES|off        send only the first BYTES bytes of replies to REQ\n"
    "                                REQ: id shortid us sp1 sp2 sp3 ic sc\n"
    "  trickle PORT MS               send replies one byte per MS milliseconds (0: off)\n"
    "  rate PORT BYTES_PER_SECOND    limit the link's byte rate (0: unlimited)\n"
    "  key PORT CODE                 press the key with this code (decimal or 0x..)\n"
    "  clear PORT                    switch every fault of the port off\n"
    "  freeze PORT on|off            stop the measurement clock of the port, so the\n"
    "                                screen changes only on key presses (stays on\n"
    "                                when another model is swapped in)\n"
    "  snapshot PORT FILE            write the screen the next \"#7,SC;\" sends as a\n"
    "                                PNG file: pixel (x, y) shows the value packed\n"
    "                                for (x, y). 1 bit: indexed, 0 white, 1 black;\n"
    "                                palette: indexed, index = value, colours = the\n"
    "                                palette as sent, before the gamma; direct\n"
    "                                colour: RGB, each channel's bits of the value\n"
    "                                moved to the top of 8 bits, low bits 0.\n"
    "                                PORT is one port number; FILE has no spaces\n";

constexpr std::array<std::pair<std::string_view, ControlVerb>, 16> kVerbs{{
    {"help", ControlVerb::Help},
    {"list", ControlVerb::List},
    {"quit", ControlVerb::Quit},
    {"unplug", ControlVerb::Unplug},
    {"replug", ControlVerb::Replug},
    {"swap", ControlVerb::Swap},
    {"garbage", ControlVerb::Garbage},
    {"stall", ControlVerb::Stall},
    {"unsupported", ControlVerb::Unsupported},
    {"cut", ControlVerb::Cut},
    {"trickle", ControlVerb::Trickle},
    {"rate", ControlVerb::Rate},
    {"key", ControlVerb::Key},
    {"clear", ControlVerb::Clear},
    {"freeze", ControlVerb::Freeze},
    {"snapshot", ControlVerb::Snapshot},
}};

using Words = std::vector<std::string_view>;
using Parsed = std::variant<ControlCommand, std::string>;

Words splitWords(std::string_view line) {
    Words words;
    std::size_t position = 0;
    while (position < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t\r", position);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t\r", start), line.size());
        words.push_back(line.substr(start, end - start));
        position = end;
    }
    return words;
}

std::optional<std::uint64_t> parseNumber(std::string_view text, std::uint64_t maximum) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
        value > maximum) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> parseSwitch(std::string_view text) {
    if (text == "on") {
        return true;
    }
    if (text == "off") {
        return false;
    }
    return std::nullopt;
}

// Checks the word count and the PORT word shared by every command on ports.
std::optional<std::string> parsePort(const Words& words, std::size_t minWords, std::size_t maxWords,
                                     ControlCommand& command) {
    if (words.size() < minWords || words.size() > maxWords) {
        return "wrong number of arguments for \"" + std::string(words[0]) + "\" (see help)";
    }
    if (words[1] == "all") {
        command.port.reset();
        return std::nullopt;
    }
    const auto port = parseNumber(words[1], kMaxPort);
    if (!port || *port == 0) {
        return "PORT must be a port number or \"all\", not \"" + std::string(words[1]) + "\"";
    }
    command.port = static_cast<int>(*port);
    return std::nullopt;
}

std::optional<std::string> parseSwitchArgument(std::string_view word, ControlCommand& command) {
    const auto enable = parseSwitch(word);
    if (!enable) {
        return "expected on or off, not \"" + std::string(word) + "\"";
    }
    command.enable = *enable;
    return std::nullopt;
}

std::optional<std::string> parseRequest(std::string_view word, bool identificationAllowed,
                                        ControlCommand& command) {
    const auto request = commandFromName(word);
    const bool identification =
        request == CommandKind::Identify || request == CommandKind::ShortIdentify;
    if (!request || request == CommandKind::Key || (identification && !identificationAllowed)) {
        return "unknown request \"" + std::string(word) + "\" (see help)";
    }
    command.request = request;
    return std::nullopt;
}

std::optional<std::string> parseAmount(std::string_view word, std::uint64_t maximum,
                                       std::string_view what, ControlCommand& command) {
    const auto amount = parseNumber(word, maximum);
    if (!amount) {
        return std::string(what) + " must be a number from 0 to " + std::to_string(maximum) +
               ", not \"" + std::string(word) + "\"";
    }
    command.amount = *amount;
    return std::nullopt;
}

std::optional<std::string> parseSwapArguments(const Words& words, ControlCommand& command) {
    command.model = std::string(words[2]);
    if (words.size() == 4) {
        const auto serial = parseNumber(words[3], UINT32_MAX);
        if (!serial) {
            return "SERIAL must be a number, not \"" + std::string(words[3]) + "\"";
        }
        command.serial = static_cast<std::uint32_t>(*serial);
    }
    return std::nullopt;
}

std::optional<std::string> parseCutArguments(const Words& words, ControlCommand& command) {
    if (auto error = parseRequest(words[2], true, command)) {
        return error;
    }
    command.enable = words[3] != "off";
    return command.enable ? parseAmount(words[3], kMaxCutBytes, "BYTES", command) : std::nullopt;
}

// A picture file belongs to one instrument, so "all" is refused.
std::optional<std::string> parseSnapshotArguments(const Words& words, ControlCommand& command) {
    if (!command.port) {
        return std::string("snapshot needs one port number, not \"all\"");
    }
    command.file = std::string(words[2]);
    return std::nullopt;
}

// The first error of the checks, run in order; later checks run only while all passed.
template <typename... Checks> std::optional<std::string> firstError(Checks&&... checks) {
    std::optional<std::string> error;
    static_cast<void>((... || (error = checks()).has_value()));
    return error;
}

std::optional<std::string> parsePortCommand(const Words& words, ControlCommand& command) {
    const auto amount = [&](std::uint64_t maximum, std::string_view what) {
        return [&words, &command, maximum, what] {
            return parseAmount(words[2], maximum, what, command);
        };
    };
    const auto onOff = [&](std::size_t index) {
        return [&words, &command, index] { return parseSwitchArgument(words[index], command); };
    };
    const auto port = [&](std::size_t minWords, std::size_t maxWords) {
        return [&words, &command, minWords, maxWords] {
            return parsePort(words, minWords, maxWords, command);
        };
    };
    switch (command.verb) {
    case ControlVerb::Unplug:
    case ControlVerb::Replug:
    case ControlVerb::Clear:
        return firstError(port(2, 2));
    case ControlVerb::Swap:
        return firstError(port(3, 4), [&] { return parseSwapArguments(words, command); });
    case ControlVerb::Garbage:
    case ControlVerb::Stall:
    case ControlVerb::Freeze:
        return firstError(port(3, 3), onOff(2));
    case ControlVerb::Snapshot:
        return firstError(port(3, 3), [&] { return parseSnapshotArguments(words, command); });
    case ControlVerb::Unsupported:
        return firstError(
            port(4, 4), [&] { return parseRequest(words[2], false, command); }, onOff(3));
    case ControlVerb::Cut:
        return firstError(port(4, 4), [&] { return parseCutArguments(words, command); });
    case ControlVerb::Trickle:
        return firstError(port(3, 3), amount(kMaxTrickleGapMs, "MS"));
    case ControlVerb::Rate:
        return firstError(port(3, 3), amount(kMaxByteRate, "BYTES_PER_SECOND"));
    case ControlVerb::Key:
        return firstError(port(3, 3), amount(kMaxKeyCode, "CODE"));
    default:
        return std::nullopt;
    }
}

} // namespace

std::variant<ControlCommand, std::string> parseControlCommand(std::string_view line) {
    const Words words = splitWords(line);
    if (words.empty()) {
        return std::string("empty command");
    }
    const auto verb = std::find_if(kVerbs.begin(), kVerbs.end(),
                                   [&](const auto& entry) { return entry.first == words[0]; });
    if (verb == kVerbs.end()) {
        return "unknown command \"" + std::string(words[0]) + "\" (see help)";
    }
    ControlCommand command;
    command.verb = verb->second;
    const bool global = command.verb == ControlVerb::Help || command.verb == ControlVerb::List ||
                        command.verb == ControlVerb::Quit;
    if (global) {
        if (words.size() != 1) {
            return std::string(words[0]) + " takes no arguments";
        }
        return command;
    }
    if (auto error = parsePortCommand(words, command)) {
        return *error;
    }
    return command;
}

std::string_view controlHelp() {
    return kHelp;
}

} // namespace ombrix::sim
