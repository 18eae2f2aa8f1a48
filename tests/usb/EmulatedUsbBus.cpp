#include "EmulatedUsbBus.h"

#include <cstdio>
#include <stdexcept>
#include <sys/stat.h>
#include <umockdev.h>

namespace ombrix::usbtest {

namespace {

constexpr int kBus = 1;
// The root hub's descriptors: a hub with one interrupt endpoint, never an
// instrument.
constexpr const char* kRootHub = "P: /devices/usb1\n"
                                 "N: bus/usb/001/001\n"
                                 "E: SUBSYSTEM=usb\n"
                                 "E: DEVTYPE=usb_device\n"
                                 "E: BUSNUM=001\n"
                                 "E: DEVNUM=001\n"
                                 "E: DEVNAME=/dev/bus/usb/001/001\n"
                                 "A: busnum=1\\n\n"
                                 "A: devnum=1\\n\n"
                                 "A: speed=480\\n\n"
                                 "A: bConfigurationValue=1\\n\n"
                                 "H: descriptors=12010002090001406b1d0200060603020101"
                                 "09021900010100e0000904000001090000000705810304000c\n";

std::string nodeName(int deviceNumber) {
    char name[32];
    std::snprintf(name, sizeof name, "bus/usb/%03d/%03d", kBus, deviceNumber);
    return name;
}

std::string record(const std::string& sysfs, int deviceNumber, const UsbDeviceTraits& traits) {
    const std::string node = nodeName(deviceNumber);
    char numbers[16];
    std::snprintf(numbers, sizeof numbers, "%03d", deviceNumber);
    return "P: " + sysfs.substr(4) + "\nN: " + node +
           "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: BUSNUM=001\nE: DEVNUM=" + numbers +
           "\nE: DEVNAME=/dev/" + node +
           "\nA: busnum=1\\n\nA: devnum=" + std::to_string(deviceNumber) +
           "\\n\nA: speed=480\\n\nA: bConfigurationValue=1\\n\n" +
           "A: manufacturer=" + traits.manufacturer + "\\n\nA: product=" + traits.productName +
           "\\n\nH: descriptors=" + DescriptorsHex(traits) + "\n";
}

void check(gboolean done, GError* error, const std::string& what) {
    if (!done) {
        const std::string message = error != nullptr ? error->message : "failed";
        g_clear_error(&error);
        throw std::runtime_error(what + ": " + message);
    }
}

} // namespace

EmulatedUsbBus::EmulatedUsbBus() : testbed_(umockdev_testbed_new()) {
    GError* error = nullptr;
    check(umockdev_testbed_add_from_string(testbed_, kRootHub, &error), error, "root hub");
}

EmulatedUsbBus::~EmulatedUsbBus() {
    g_object_unref(testbed_);
}

std::string EmulatedUsbBus::sysfsPath(int port) const {
    return "/sys/devices/usb1/" + std::to_string(kBus) + "-" + std::to_string(port);
}

std::string EmulatedUsbBus::node(int port) const {
    return "/dev/" + nodeName(ports_.at(port).deviceNumber);
}

std::string EmulatedUsbBus::rootDirectory() const {
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    std::string directory = root;
    g_free(root);
    return directory;
}

// The handler first, so the device can be opened as soon as it is seen.
EmulatedUsbDevice& EmulatedUsbBus::plug(const UsbDeviceTraits& traits) {
    Plugged& plugged = ports_[traits.port];
    if (plugged.present) {
        throw std::logic_error("port " + std::to_string(traits.port) + " is taken");
    }
    if (plugged.device) {
        unplugged_.push_back(std::move(plugged.device));
    }
    plugged.device = std::make_unique<EmulatedUsbDevice>(traits);
    plugged.deviceNumber = nextDeviceNumber_++;
    GError* error = nullptr;
    check(umockdev_testbed_attach_ioctl(testbed_,
                                        ("/dev/" + nodeName(plugged.deviceNumber)).c_str(),
                                        plugged.device->handler(), &error),
          error, "ioctl handler");
    const std::string sysfs = sysfsPath(traits.port);
    check(umockdev_testbed_add_from_string(
              testbed_, record(sysfs, plugged.deviceNumber, traits).c_str(), &error),
          error, "device");
    umockdev_testbed_uevent(testbed_, sysfs.c_str(), "add");
    plugged.present = true;
    return *plugged.device;
}

void EmulatedUsbBus::unplug(int port) {
    Plugged& plugged = ports_.at(port);
    plugged.device->disconnect();
    const std::string sysfs = sysfsPath(port);
    umockdev_testbed_uevent(testbed_, sysfs.c_str(), "remove");
    umockdev_testbed_remove_device(testbed_, sysfs.c_str());
    plugged.present = false;
}

EmulatedUsbDevice& EmulatedUsbBus::replug(int port) {
    return plug(ports_.at(port).device->traits());
}

EmulatedUsbDevice& EmulatedUsbBus::device(int port) {
    return *ports_.at(port).device;
}

void EmulatedUsbBus::denyAccess(int port) {
    const std::string file = rootDirectory() + node(port);
    if (::chmod(file.c_str(), 0) != 0) {
        throw std::runtime_error("cannot lock " + file);
    }
}

} // namespace ombrix::usbtest
