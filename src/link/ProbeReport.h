#pragma once

#include "link/UsbConnection.h"

#include <string>
#include <vector>

namespace ombrix::link {

// Why the device at a probed path cannot be used, to follow its path:
// "cannot be opened: permission denied". Empty for an instrument identified or
// open on this connection.
std::string ProbeReason(const DeviceProbe& probe);

// The one sentence the user is told about the first path of a refresh that
// cannot be used: "Instrument #40741 is in use by another program", "The
// device at usb:1-2 cannot be opened: permission denied". Empty when every
// path was fine.
std::string ProbeProblem(const std::vector<DeviceProbe>& probes);

// The same for one path's reason alone: "permission denied".
std::string OpenFailureText(OpenFailure failure);

} // namespace ombrix::link
