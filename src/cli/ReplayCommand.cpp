#include "cli/ReplayCommand.h"

#include "cli/CliOptions.h"
#include "cli/CliSession.h"
#include "cli/KeySender.h"
#include "history/HistoryReplay.h"
#include "settings/SettingsStore.h"

#include <optional>

namespace ombrix::cli {

namespace {

struct ReplayOptions {
    QString file;
    std::optional<link::Serial> serial;
    std::chrono::milliseconds pause{0};
    std::optional<QString> comment; // none: the saving settings' comment
};

std::optional<ReplayOptions> parseOptions(std::span<const std::string> arguments,
                                          std::ostream& err) {
    ReplayOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::string* value = i + 1 < arguments.size() ? &arguments[i + 1] : nullptr;
        if (argument == "--serial") {
            options.serial = value != nullptr ? ParseSerial(*value) : std::nullopt;
            if (!options.serial) {
                err << "ombrix-cli replay: --serial needs a decimal serial number\n";
                return std::nullopt;
            }
            ++i;
        } else if (argument == "--pause") {
            const auto pause = value != nullptr ? ParsePause(*value) : std::nullopt;
            if (!pause) {
                err << "ombrix-cli replay: --pause needs milliseconds from 0 to 60000\n";
                return std::nullopt;
            }
            options.pause = *pause;
            ++i;
        } else if (argument == "--comment") {
            if (value == nullptr) {
                err << "ombrix-cli replay: --comment needs the comment line's text\n";
                return std::nullopt;
            }
            options.comment = QString::fromLocal8Bit(*value);
            ++i;
        } else if (options.file.isEmpty() && !argument.empty() && !argument.starts_with("-")) {
            options.file = QString::fromLocal8Bit(argument);
        } else {
            err << "ombrix-cli replay: unknown argument '" << argument << "'\n";
            return std::nullopt;
        }
    }
    if (options.file.isEmpty()) {
        err << "ombrix-cli replay: name the history file to play\n";
        return std::nullopt;
    }
    return options;
}

// The comment line the user's saves write ahead of each block.
QString savedComment() {
    settings::ApplicationSettings settings;
    settings::SettingsStore().LoadSettings(settings);
    return settings.CommandsToolbar().Separator();
}

int play(const std::vector<history::ReplayStep>& steps, std::chrono::milliseconds pause,
         CliContext& context, KeySender& sender) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i > 0) {
            context.clock.sleepFor(pause);
        }
        if (!sender.send(steps[i].code)) {
            context.err << "ombrix-cli replay: stopped at entry " << i + 1 << " of " << steps.size()
                        << " (line " << steps[i].line << ")\n";
            return 1;
        }
    }
    return 0;
}

} // namespace

int RunReplay(std::span<const std::string> arguments, CliContext& context) {
    const std::optional<ReplayOptions> options = parseOptions(arguments, context.err);
    if (!options) {
        return kUsageError;
    }
    CliSession session(context, options->serial);
    if (!session.connect("replay")) {
        return 1;
    }
    QString error;
    const std::optional<std::vector<history::ReplayStep>> steps =
        history::LoadReplay(options->file, options->comment.value_or(savedComment()),
                            session.document().Model().layout(), error);
    if (!steps) {
        context.err << "ombrix-cli replay: " << error.toStdString() << '\n';
        return 1;
    }
    KeySender sender(session, context.out, "replay");
    return play(*steps, options->pause, context, sender);
}

} // namespace ombrix::cli
