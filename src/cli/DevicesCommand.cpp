#include "cli/DevicesCommand.h"

#include "cli/InstrumentReport.h"
#include "link/ProbeReport.h"
#include "link/UsbCandidates.h"
#include "link/UsbConnection.h"

#include <algorithm>

namespace ombrix::cli {

namespace {

// Every USB device that could be an instrument, one line each: pair, bus path,
// manufacturer, product, access, and whether its pair is listed.
int listCandidates(CliContext& context) {
    link::UsbCandidateScanner scanner;
    const auto candidates = scanner.scan();
    if (!candidates) {
        context.err << "ombrix-cli devices: USB devices cannot be listed on this system\n";
        return 1;
    }
    for (const link::UsbCandidate& candidate : *candidates) {
        const bool listed = std::find(context.usbIds.begin(), context.usbIds.end(), candidate.id) !=
                            context.usbIds.end();
        context.out << link::FormatUsbId(candidate.id) << '\t' << candidate.path << '\t'
                    << candidate.manufacturer << '\t' << candidate.product << '\t'
                    << (candidate.accessible ? "access" : "no access") << '\t'
                    << (listed ? "listed" : "not listed") << '\n';
    }
    if (candidates->empty()) {
        context.err << "ombrix-cli devices: no USB device with a vendor-specific bulk interface\n";
        return 1;
    }
    return 0;
}

// Each device that was found but cannot be used, and why.
void reportProblems(const std::vector<link::DeviceProbe>& probes, CliContext& context) {
    for (const link::DeviceProbe& probe : probes) {
        const std::string reason = link::ProbeReason(probe);
        if (reason.empty()) {
            continue;
        }
        context.err << "ombrix-cli devices: " << probe.path << ' ' << reason;
        if (probe.failure == link::OpenFailure::PermissionDenied) {
            context.err << " (ombrix-cli devices --candidates names its vendor:product pair; "
                           "ombrix-cli udev-rules gives access)";
        }
        context.err << '\n';
    }
}

} // namespace

int RunDevices(std::span<const std::string> arguments, CliContext& context) {
    if (arguments.size() == 1 && arguments.front() == "--candidates") {
        return listCandidates(context);
    }
    if (!arguments.empty()) {
        context.err << "ombrix-cli devices: unknown argument '" << arguments.front() << "'\n";
        return kUsageError;
    }
    link::UsbConnection connection(context.backend, context.clock, context.claims);
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
    reportProblems(connection.LastProbes(), context);
    return 0;
}

} // namespace ombrix::cli
