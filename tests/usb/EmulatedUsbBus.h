#pragma once

#include "EmulatedUsbDevice.h"

#include <map>
#include <memory>
#include <string>

using UMockdevTestbed = struct _UMockdevTestbed;

namespace ombrix::usbtest {

// A USB bus in a umockdev testbed: a root hub (bus 1) and the devices plugged
// into its ports, each with its sysfs attributes and descriptors, a
// /dev/bus/usb node and its usbdevfs emulation. The program runs with
// umockdev's preload library, so libusb finds these devices and no others.
class EmulatedUsbBus {
public:
    EmulatedUsbBus();
    EmulatedUsbBus(const EmulatedUsbBus&) = delete;
    EmulatedUsbBus& operator=(const EmulatedUsbBus&) = delete;
    ~EmulatedUsbBus();

    // Plugs a device in at its port with the next device number.
    EmulatedUsbDevice& plug(const UsbDeviceTraits& traits);
    // Unplugs the device at `port`: its transfers end, it leaves the bus.
    void unplug(int port);
    // Plugs the device unplugged from `port` in again, as a new device (a new
    // device number, the instrument starting afresh) at the same bus path.
    EmulatedUsbDevice& replug(int port);
    EmulatedUsbDevice& device(int port);

    // The device node of the device at `port`, e.g. "/dev/bus/usb/001/002".
    std::string node(int port) const;
    // Takes this user's right to read and write the node of `port`.
    void denyAccess(int port);
    std::string rootDirectory() const;

private:
    struct Plugged {
        std::unique_ptr<EmulatedUsbDevice> device;
        int deviceNumber = 0;
        bool present = false;
    };

    std::string sysfsPath(int port) const;

    UMockdevTestbed* testbed_;
    std::map<int, Plugged> ports_;
    // Unplugged devices keep answering (ENODEV) while a host still holds them.
    std::vector<std::unique_ptr<EmulatedUsbDevice>> unplugged_;
    int nextDeviceNumber_ = 2;
};

} // namespace ombrix::usbtest
