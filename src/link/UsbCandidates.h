#pragma once

#include "link/UsbIdList.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ombrix::link {

class LibusbContext;

// A USB device that could be an instrument: a vendor-specific interface with
// one bulk IN and one bulk OUT endpoint. All of it is read from what the system
// knows of the device; nothing is sent to it.
struct UsbCandidate {
    UsbId id;
    std::string path;         // "usb:1-2", as the backend names it
    std::string manufacturer; // the device's strings as the system read them; may be empty
    std::string product;
    std::string node;        // "/dev/bus/usb/001/002"
    bool accessible = false; // this user may read and write the node
    bool operator==(const UsbCandidate&) const = default;
};

// Lists the candidates on the buses, with a libusb context of its own, so it
// may run on another thread than the session's.
class UsbCandidateScanner {
public:
    UsbCandidateScanner();
    UsbCandidateScanner(const UsbCandidateScanner&) = delete;
    UsbCandidateScanner& operator=(const UsbCandidateScanner&) = delete;
    ~UsbCandidateScanner();

    // In bus path order; none when USB cannot be listed at all.
    std::optional<std::vector<UsbCandidate>> scan();

private:
    std::unique_ptr<LibusbContext> context_;
};

// The commands that give the user at the seat access to the devices of `id`:
// the udev rule installed, udev reloaded, the device plugged in again.
std::string UsbAccessCommands(const UsbId& id);

} // namespace ombrix::link
