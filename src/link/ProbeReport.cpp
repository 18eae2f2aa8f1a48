#include "link/ProbeReport.h"

#include <algorithm>

namespace ombrix::link {

std::string OpenFailureText(OpenFailure failure) {
    switch (failure) {
    case OpenFailure::None:
        break;
    case OpenFailure::PermissionDenied:
        return "permission denied";
    case OpenFailure::InUse:
        return "in use by another program";
    case OpenFailure::NoBulkInterface:
        return "no interface with one bulk IN and one bulk OUT endpoint";
    case OpenFailure::Vanished:
        return "it vanished";
    case OpenFailure::Failed:
        break;
    }
    return "the system refused";
}

std::string ProbeReason(const DeviceProbe& probe) {
    using Outcome = DeviceProbe::Outcome;
    switch (probe.outcome) {
    case Outcome::Identified:
    case Outcome::InUse:
        break;
    case Outcome::InUseElsewhere:
        return "is in use by another program" +
               (probe.serial ? " (instrument #" + std::to_string(*probe.serial) + ")"
                             : std::string());
    case Outcome::CannotOpen:
        return "cannot be opened: " + OpenFailureText(probe.failure);
    case Outcome::ConnectionLost:
        return "closed the connection at once (in use by another program, or unplugged)";
    case Outcome::NoAnswer:
        return "did not answer within " + std::to_string(kReplyTimeout.count() / 1000) + " s";
    case Outcome::NotAnInstrument:
        return "answered with no identification";
    }
    return {};
}

std::string ProbeProblem(const std::vector<DeviceProbe>& probes) {
    const auto problem = std::find_if(probes.begin(), probes.end(), [](const DeviceProbe& probe) {
        return !ProbeReason(probe).empty();
    });
    if (problem == probes.end()) {
        return {};
    }
    if (problem->outcome == DeviceProbe::Outcome::InUseElsewhere && problem->serial) {
        return "Instrument #" + std::to_string(*problem->serial) + " is in use by another program";
    }
    return "The device at " + problem->path + " " + ProbeReason(*problem);
}

} // namespace ombrix::link
