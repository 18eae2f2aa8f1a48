#include "link/LibusbBackend.h"

#include <algorithm>
#include <libusb.h>

namespace ombrix::link {

namespace {

constexpr unsigned int kReadWaitMs = 10;
constexpr unsigned int kDiscardWaitMs = 1;
constexpr unsigned int kDefaultWriteTimeoutMs = 4000;

struct BulkInterface {
    int number = -1;
    unsigned char in = 0;
    unsigned char out = 0;
};

bool isBulk(const libusb_endpoint_descriptor& endpoint) {
    return (endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) == LIBUSB_TRANSFER_TYPE_BULK;
}

// The first interface whose first alternate setting has exactly one bulk IN and
// one bulk OUT endpoint.
std::optional<BulkInterface> findBulkInterface(const libusb_config_descriptor& config) {
    for (int i = 0; i < config.bNumInterfaces; ++i) {
        const libusb_interface& interface = config.interface[i];
        if (interface.num_altsetting < 1) {
            continue;
        }
        const libusb_interface_descriptor& setting = interface.altsetting[0];
        BulkInterface found{setting.bInterfaceNumber, 0, 0};
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
    }
    return std::nullopt;
}

std::string devicePath(libusb_device* device) {
    std::uint8_t ports[8] = {};
    const int count = libusb_get_port_numbers(device, ports, sizeof ports);
    std::vector<std::uint8_t> portPath(ports, ports + std::max(count, 0));
    return UsbDevicePath(libusb_get_bus_number(device), portPath);
}

class LibusbChannel final : public DeviceChannel {
public:
    LibusbChannel(libusb_device_handle* handle, BulkInterface interface)
        : handle_(handle), interface_(interface) {}
    LibusbChannel(const LibusbChannel&) = delete;
    LibusbChannel& operator=(const LibusbChannel&) = delete;
    ~LibusbChannel() override {
        libusb_release_interface(handle_, interface_.number);
        libusb_close(handle_);
    }

    std::optional<std::size_t> write(std::span<const std::uint8_t> bytes) override {
        return transfer(interface_.out, const_cast<std::uint8_t*>(bytes.data()), bytes.size(),
                        writeTimeoutMs_);
    }

    std::optional<std::size_t> read(std::span<std::uint8_t> buffer) override {
        return transfer(interface_.in, buffer.data(), buffer.size(), kReadWaitMs);
    }

    void discardPending(std::size_t maxBytes) override {
        std::uint8_t scratch[kReadBlockSize];
        std::size_t dropped = 0;
        while (dropped < maxBytes) {
            const auto n = transfer(interface_.in, scratch, sizeof scratch, kDiscardWaitMs);
            if (!n || *n == 0) {
                return;
            }
            dropped += *n;
        }
    }

    bool setTransferTimeout(std::int32_t value) override {
        // The driver's value is in microseconds; libusb counts milliseconds, and 0
        // would mean no limit at all.
        writeTimeoutMs_ = std::max(1u, static_cast<unsigned int>(value / 1000));
        return true;
    }

private:
    // A time-out is not a failure: it delivers what came, possibly nothing. A
    // vanished device (LIBUSB_ERROR_NO_DEVICE) and any other error are.
    std::optional<std::size_t> transfer(unsigned char endpoint, std::uint8_t* data,
                                        std::size_t length, unsigned int timeoutMs) {
        int transferred = 0;
        const int result = libusb_bulk_transfer(handle_, endpoint, data, static_cast<int>(length),
                                                &transferred, timeoutMs);
        if (result == 0 || result == LIBUSB_ERROR_TIMEOUT) {
            return static_cast<std::size_t>(transferred);
        }
        return std::nullopt;
    }

    libusb_device_handle* handle_;
    BulkInterface interface_;
    unsigned int writeTimeoutMs_ = kDefaultWriteTimeoutMs;
};

std::unique_ptr<DeviceChannel> openChannel(libusb_device* device) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0) {
        return nullptr;
    }
    const auto interface = findBulkInterface(*config);
    libusb_free_config_descriptor(config);
    libusb_device_handle* handle = nullptr;
    if (!interface || libusb_open(device, &handle) != 0) {
        return nullptr;
    }
    libusb_set_auto_detach_kernel_driver(handle, 1);
    if (libusb_claim_interface(handle, interface->number) != 0) {
        libusb_close(handle);
        return nullptr;
    }
    return std::make_unique<LibusbChannel>(handle, *interface);
}

} // namespace

LibusbBackend::LibusbBackend(std::vector<UsbId> ids) : ids_(std::move(ids)) {}

LibusbBackend::~LibusbBackend() {
    if (context_ != nullptr) {
        libusb_exit(context_);
    }
}

bool LibusbBackend::ensureContext() {
    return context_ != nullptr || libusb_init(&context_) == 0;
}

template <typename Visit> bool LibusbBackend::forEachMatchingDevice(Visit&& visit) {
    if (!ensureContext()) {
        context_ = nullptr;
        return false;
    }
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &devices);
    if (count < 0) {
        return false;
    }
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(devices[i], &descriptor) != 0) {
            continue;
        }
        const UsbId id{descriptor.idVendor, descriptor.idProduct};
        if (std::find(ids_.begin(), ids_.end(), id) != ids_.end() && !visit(devices[i])) {
            break;
        }
    }
    libusb_free_device_list(devices, 1);
    return true;
}

std::optional<std::vector<std::string>> LibusbBackend::listDevicePaths() {
    std::vector<std::string> paths;
    if (ids_.empty()) {
        return paths; // never guess which devices are instruments
    }
    const bool listed = forEachMatchingDevice([&](libusb_device* device) {
        paths.push_back(devicePath(device));
        return true;
    });
    if (!listed) {
        return std::nullopt;
    }
    return paths;
}

std::unique_ptr<DeviceChannel> LibusbBackend::open(const std::string& path) {
    if (ids_.empty() || !path.starts_with(kUsbPathPrefix)) {
        return nullptr;
    }
    std::unique_ptr<DeviceChannel> channel;
    forEachMatchingDevice([&](libusb_device* device) {
        if (devicePath(device) != path) {
            return true;
        }
        channel = openChannel(device);
        return false;
    });
    return channel;
}

} // namespace ombrix::link
