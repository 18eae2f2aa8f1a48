#include "cli/InstrumentReport.h"

#include "link/DeviceDirectory.h"
#include "link/ProbeReport.h"

#include <algorithm>
#include <sstream>

namespace ombrix::cli {

namespace {

// The identified serials in ascending order, then each path that could not be
// identified with its reason.
void listFound(const std::vector<link::DeviceProbe>& probes, std::ostream& out) {
    std::vector<link::Serial> serials;
    std::string others;
    for (const link::DeviceProbe& probe : probes) {
        const std::string reason = link::ProbeReason(probe);
        if (reason.empty()) {
            serials.push_back(*probe.serial);
        } else {
            others += "; " + probe.path + " " + reason;
        }
    }
    std::sort(serials.begin(), serials.end());
    out << "attached: ";
    for (std::size_t i = 0; i < serials.size(); ++i) {
        out << (i == 0 ? "" : ", ") << serials[i];
    }
    out << (serials.empty() ? "none identified" : "") << others;
}

} // namespace

std::string DescribeMissingInstrument(std::optional<link::Serial> wanted,
                                      const std::vector<link::DeviceProbe>& probes,
                                      const std::optional<std::filesystem::path>& deviceDirectory) {
    std::ostringstream out;
    out << (wanted ? "instrument " + std::to_string(*wanted) + " is not available"
                   : std::string("no instrument could be connected"));
    const bool found = std::any_of(probes.begin(), probes.end(),
                                   [](const link::DeviceProbe& probe) { return probe.serial; });
    if (wanted && found) {
        const bool attached =
            std::any_of(probes.begin(), probes.end(),
                        [&](const link::DeviceProbe& probe) { return probe.serial == wanted; });
        out << (attached ? " (attached, but no model file fits it or it stopped answering; "
                         : " (");
        listFound(probes, out);
        out << ')';
    } else if (!probes.empty()) {
        out << (found ? " (no model file fits it or it stopped answering; " : " (");
        listFound(probes, out);
        out << ')';
    } else if (const auto problem = deviceDirectory ? link::DeviceDirectoryProblem(*deviceDirectory)
                                                    : std::nullopt) {
        out << ": none attached, and " << *problem;
    } else {
        out << ": none attached";
        if (deviceDirectory) {
            out << " (no instrument socket in " << deviceDirectory->string()
                << ", none on USB for the listed vendor:product pairs; see ombrix-cli "
                   "devices --candidates)";
        }
    }
    return out.str();
}

} // namespace ombrix::cli
