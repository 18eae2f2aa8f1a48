#include "link/LibusbDevice.h"

#include "link/UsbIdList.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ombrix::link {

namespace {

constexpr std::uint8_t kVendorSpecificClass = 0xFF;

bool isBulk(const libusb_endpoint_descriptor& endpoint) {
    return (endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) == LIBUSB_TRANSFER_TYPE_BULK;
}

std::optional<BulkInterface> bulkPairOf(const libusb_interface_descriptor& setting) {
    BulkInterface found{setting.bInterfaceNumber, 0, 0,
                        setting.bInterfaceClass == kVendorSpecificClass};
    int ins = 0;
    int outs = 0;
    for (int e = 0; e < setting.bNumEndpoints; ++e) {
        const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
        if (!isBulk(endpoint)) {
            continue;
        }
        if ((endpoint.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN) {
            found.in = endpoint.bEndpointAddress;
            ++ins;
        } else {
            found.out = endpoint.bEndpointAddress;
            ++outs;
        }
    }
    if (ins == 1 && outs == 1) {
        return found;
    }
    return std::nullopt;
}

std::vector<std::uint8_t> portsOf(libusb_device* device) {
    std::uint8_t ports[8] = {};
    const int count = libusb_get_port_numbers(device, ports, sizeof ports);
    return {ports, ports + std::max(count, 0)};
}

} // namespace

std::optional<BulkInterface> FindBulkInterface(const libusb_config_descriptor& config) {
    for (int i = 0; i < config.bNumInterfaces; ++i) {
        const libusb_interface& interface = config.interface[i];
        if (interface.num_altsetting < 1) {
            continue;
        }
        if (const auto found = bulkPairOf(interface.altsetting[0])) {
            return found;
        }
    }
    return std::nullopt;
}

std::optional<BulkInterface> FindBulkInterface(libusb_device* device) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0) {
        return std::nullopt;
    }
    const auto found = FindBulkInterface(*config);
    libusb_free_config_descriptor(config);
    return found;
}

std::string LibusbDevicePath(libusb_device* device) {
    return UsbDevicePath(libusb_get_bus_number(device), portsOf(device));
}

std::vector<int> LibusbPortChain(libusb_device* device) {
    std::vector<int> chain{libusb_get_bus_number(device)};
    for (const std::uint8_t port : portsOf(device)) {
        chain.push_back(port);
    }
    return chain;
}

LibusbContext::LibusbContext() {
    if (libusb_init(&context_) != 0) {
        context_ = nullptr;
    }
}

LibusbContext::~LibusbContext() {
    if (context_ != nullptr) {
        libusb_exit(context_);
    }
}

} // namespace ombrix::link
