#include "cli/IdentifyCommand.h"

#include "cli/CliOptions.h"
#include "cli/InstrumentReport.h"
#include "link/LinkErrors.h"
#include "link/UsbConnection.h"
#include "session/DataSource.h"
#include "session/Identification.h"
#include "session/ProgramDirectory.h"

#include <optional>

namespace ombrix::cli {

namespace {

struct IdentifyOptions {
    std::optional<link::Serial> serial;
};

// Empty when the command line cannot be understood; the reason is on `err`.
std::optional<IdentifyOptions> parseOptions(std::span<const std::string> arguments,
                                            std::ostream& err) {
    IdentifyOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != "--serial") {
            err << "ombrix-cli identify: unknown argument '" << arguments[i] << "'\n";
            return std::nullopt;
        }
        ++i;
        options.serial = i < arguments.size() ? ParseSerial(arguments[i]) : std::nullopt;
        if (!options.serial) {
            err << "ombrix-cli identify: --serial needs a decimal serial number\n";
            return std::nullopt;
        }
    }
    return options;
}

// Why ConnectInstrument failed: an instrument that answered its identification
// but has no model file, or none that could be opened or kept talking.
void reportFailure(session::OrmaSettings& identification, const std::filesystem::path& programDir,
                   const link::UsbConnection& connection, std::optional<link::Serial> wanted,
                   const CliContext& context) {
    if (!identification.reply.empty() && session::ChooseModel(identification, programDir).empty()) {
        context.err << "ombrix-cli identify: no model file in " << programDir.string()
                    << " fits the instrument that answered " << identification.reply << '\n';
        return;
    }
    context.err << "ombrix-cli identify: "
                << DescribeMissingInstrument(wanted, connection.LastProbes(),
                                             context.deviceDirectory)
                << '\n';
}

} // namespace

int RunIdentify(std::span<const std::string> arguments, CliContext& context) {
    const std::optional<IdentifyOptions> options = parseOptions(arguments, context.err);
    if (!options) {
        return kUsageError;
    }
    link::UsbConnection connection(context.backend, context.clock, context.claims);
    session::DataSource source(connection);
    const std::filesystem::path programDir = session::ProgramDirectory();
    session::OrmaSettings identification;
    const session::Choice choice =
        options->serial ? session::Choice::OnlyPreferred : session::Choice::PreferredOrLowest;
    try {
        const session::ModelSelection selection =
            session::ConnectInstrument(source, options->serial, programDir, identification, choice);
        context.out << "serial: " << selection.serial << '\n'
                    << "model: " << selection.modelPath.string() << '\n'
                    << "reply: " << identification.reply << '\n';
        return 0;
    } catch (const link::DataSourceException&) {
        reportFailure(identification, programDir, connection, options->serial, context);
        return 1;
    }
}

} // namespace ombrix::cli
