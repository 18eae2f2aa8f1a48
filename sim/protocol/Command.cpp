#include "protocol/Command.h"

#include <algorithm>
#include <array>
#include <utility>

namespace ombrix::sim {

namespace {

constexpr std::array<std::pair<CommandKind, std::string_view>, 9> kNames{{
    {CommandKind::Identify, "id"},
    {CommandKind::ShortIdentify, "shortid"},
    {CommandKind::UsValue, "us"},
    {CommandKind::ScreenParameters, "sp1"},
    {CommandKind::Palette, "sp2"},
    {CommandKind::Status, "sp3"},
    {CommandKind::Icons, "ic"},
    {CommandKind::Screen, "sc"},
    {CommandKind::Key, "key"},
}};

} // namespace

std::string_view commandName(CommandKind kind) {
    const auto found = std::find_if(kNames.begin(), kNames.end(),
                                    [kind](const auto& entry) { return entry.first == kind; });
    return found == kNames.end() ? std::string_view("?") : found->second;
}

std::optional<CommandKind> commandFromName(std::string_view name) {
    const auto found = std::find_if(kNames.begin(), kNames.end(),
                                    [name](const auto& entry) { return entry.second == name; });
    if (found == kNames.end()) {
        return std::nullopt;
    }
    return found->first;
}

} // namespace ombrix::sim
