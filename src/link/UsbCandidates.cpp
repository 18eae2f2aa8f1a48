#include "link/UsbCandidates.h"

#include "link/LibusbDevice.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace ombrix::link {

namespace {

constexpr std::string_view kSysfsDevices = "/sys/bus/usb/devices/";

// One line of a sysfs attribute, without its newline; empty when unreadable.
std::string sysfsText(const std::string& device, const char* attribute) {
    std::ifstream file(std::string(kSysfsDevices) + device + "/" + attribute);
    std::string line;
    std::getline(file, line);
    return line;
}

std::string nodeOf(libusb_device* device) {
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03u/%03u", libusb_get_bus_number(device),
                  libusb_get_device_address(device));
    return node;
}

std::optional<UsbCandidate> candidateOf(libusb_device* device) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != 0) {
        return std::nullopt;
    }
    const auto interface = FindBulkInterface(device);
    if (!interface || !interface->vendorSpecific) {
        return std::nullopt;
    }
    UsbCandidate candidate;
    candidate.id = {descriptor.idVendor, descriptor.idProduct};
    candidate.path = LibusbDevicePath(device);
    const std::string sysfsName = candidate.path.substr(kUsbPathPrefix.size());
    candidate.manufacturer = sysfsText(sysfsName, "manufacturer");
    candidate.product = sysfsText(sysfsName, "product");
    candidate.node = nodeOf(device);
    candidate.accessible = ::access(candidate.node.c_str(), R_OK | W_OK) == 0;
    return candidate;
}

} // namespace

UsbCandidateScanner::UsbCandidateScanner() = default;

UsbCandidateScanner::~UsbCandidateScanner() = default;

std::optional<std::vector<UsbCandidate>> UsbCandidateScanner::scan() {
    if (!context_) {
        context_ = std::make_unique<LibusbContext>();
    }
    if (context_->get() == nullptr) {
        context_.reset();
        return std::nullopt;
    }
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context_->get(), &devices);
    if (count < 0) {
        return std::nullopt;
    }
    std::vector<UsbCandidate> candidates;
    for (ssize_t i = 0; i < count; ++i) {
        if (auto candidate = candidateOf(devices[i])) {
            candidates.push_back(std::move(*candidate));
        }
    }
    libusb_free_device_list(devices, 1);
    std::sort(candidates.begin(), candidates.end(),
              [](const UsbCandidate& a, const UsbCandidate& b) { return a.path < b.path; });
    return candidates;
}

std::string UsbAccessCommands(const UsbId& id) {
    // A file per pair, so giving access to one instrument keeps the others';
    // sorted before 73-seat-late.rules, which acts on the uaccess tag.
    std::string file = "70-ombrix-" + FormatUsbId(id) + ".rules";
    std::replace(file.begin(), file.end(), ':', '-');
    return "ombrix-cli udev-rules " + FormatUsbId(id) + " | sudo tee /etc/udev/rules.d/" + file +
           "\n"
           "sudo udevadm control --reload-rules && sudo udevadm trigger\n"
           "# then unplug the instrument and plug it in again\n";
}

} // namespace ombrix::link
