#include "cli/DevicesCommand.h"

#include "cli/InstrumentReport.h"
#include "link/UsbConnection.h"

namespace ombrix::cli {

int RunDevices(std::span<const std::string> arguments, CliContext& context) {
    if (!arguments.empty()) {
        context.err << "ombrix-cli devices: takes no arguments\n";
        return kUsageError;
    }
    link::UsbConnection connection(context.backend, context.clock);
    connection.RefreshDevices();
    for (const auto& [serial, entry] : connection.Devices()) {
        context.out << serial << '\t' << entry.unitType << '\t' << entry.variant << '\t'
                    << entry.usValue << '\t' << entry.pathRecord.path << '\n';
    }
    if (connection.Devices().empty()) {
        context.err << "ombrix-cli devices: "
                    << DescribeMissingInstrument(std::nullopt, connection.LastProbes(),
                                                 context.deviceDirectory)
                    << '\n';
        return 1;
    }
    return 0;
}

} // namespace ombrix::cli
