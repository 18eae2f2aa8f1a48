#include "protocol/CommandParser.h"

#include <array>
#include <optional>
#include <string_view>

namespace ombrix::sim {

namespace {

struct Pattern {
    std::string_view text;
    CommandKind kind;
};

// The key press carries one raw byte at this index; any value is taken there.
constexpr std::size_t kKeyCodeIndex = 4;

constexpr std::array<Pattern, 9> kPatterns{{
    {";#1,U?,W?,N?,S?;", CommandKind::Identify},
    {";#1,U?,N?;", CommandKind::ShortIdentify},
    {";#7,US;", CommandKind::UsValue},
    {"#7,SP,1;", CommandKind::ScreenParameters},
    {"#7,SP,2;", CommandKind::Palette},
    {"#7,SP,3;", CommandKind::Status},
    {"#7,IC;", CommandKind::Icons},
    {"#7,SC;", CommandKind::Screen},
    {";#0,?;", CommandKind::Key},
}};

enum class Match : std::uint8_t { Complete, Prefix, None };

Match matchPattern(const Pattern& pattern, std::span<const std::uint8_t> bytes) {
    const std::size_t compared = std::min(bytes.size(), pattern.text.size());
    for (std::size_t i = 0; i < compared; ++i) {
        const bool wildcard = pattern.kind == CommandKind::Key && i == kKeyCodeIndex;
        if (!wildcard && bytes[i] != static_cast<std::uint8_t>(pattern.text[i])) {
            return Match::None;
        }
    }
    return bytes.size() >= pattern.text.size() ? Match::Complete : Match::Prefix;
}

struct Step {
    Match match = Match::None;
    const Pattern* pattern = nullptr;
};

// No command is a prefix of another, so at most one pattern completes.
Step matchAny(std::span<const std::uint8_t> bytes) {
    Step step;
    for (const Pattern& pattern : kPatterns) {
        const Match match = matchPattern(pattern, bytes);
        if (match == Match::Complete) {
            return {Match::Complete, &pattern};
        }
        if (match == Match::Prefix) {
            step.match = Match::Prefix;
        }
    }
    return step;
}

Command commandFrom(const Pattern& pattern, std::span<const std::uint8_t> bytes) {
    Command command{pattern.kind, 0};
    if (pattern.kind == CommandKind::Key) {
        command.keyCode = bytes[kKeyCodeIndex];
    }
    return command;
}

} // namespace

std::vector<Command> CommandParser::feed(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<Command> commands;
    std::size_t start = 0;
    while (start < pending_.size()) {
        const std::span<const std::uint8_t> rest(pending_.data() + start, pending_.size() - start);
        const Step step = matchAny(rest);
        if (step.match == Match::Prefix) {
            break;
        }
        if (step.match == Match::Complete) {
            commands.push_back(commandFrom(*step.pattern, rest));
            start += step.pattern->text.size();
        } else {
            ++start;
        }
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(start));
    return commands;
}

} // namespace ombrix::sim
