#pragma once

#include <libusb.h>
#include <optional>
#include <string>
#include <vector>

namespace ombrix::link {

// The interface of a device that carries the instrument protocol: one bulk IN
// and one bulk OUT endpoint.
struct BulkInterface {
    int number = -1;
    unsigned char in = 0;
    unsigned char out = 0;
    bool vendorSpecific = false; // class 0xFF, not a standard kind of device
};

// The first interface whose first alternate setting has exactly one bulk IN and
// one bulk OUT endpoint, read from the configuration descriptor alone.
std::optional<BulkInterface> FindBulkInterface(const libusb_config_descriptor& config);

// The same for the device's active configuration, from the descriptors the
// system has already read: nothing is sent to the device.
std::optional<BulkInterface> FindBulkInterface(libusb_device* device);

// "usb:" bus "-" port path, e.g. "usb:1-4.2".
std::string LibusbDevicePath(libusb_device* device);

// The bus number, then the port numbers from the root: the order of devices.
std::vector<int> LibusbPortChain(libusb_device* device);

// One libusb context for the life of the object; none when libusb cannot start.
class LibusbContext {
public:
    LibusbContext();
    LibusbContext(const LibusbContext&) = delete;
    LibusbContext& operator=(const LibusbContext&) = delete;
    ~LibusbContext();

    libusb_context* get() const { return context_; }

private:
    libusb_context* context_ = nullptr;
};

} // namespace ombrix::link
