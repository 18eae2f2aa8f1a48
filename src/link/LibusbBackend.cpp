#include "link/LibusbBackend.h"

#include "link/LibusbDevice.h"

#include <algorithm>
#include <libusb.h>

namespace ombrix::link {

namespace {

constexpr unsigned int kReadWaitMs = 10;
constexpr unsigned int kDiscardWaitMs = 1;
constexpr unsigned int kDefaultWriteTimeoutMs = 4000;

OpenFailure failureOf(int libusbError) {
    switch (libusbError) {
    case LIBUSB_ERROR_ACCESS:
        return OpenFailure::PermissionDenied;
    case LIBUSB_ERROR_BUSY:
        return OpenFailure::InUse;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
        return OpenFailure::Vanished;
    default:
        return OpenFailure::Failed;
    }
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
    // A time-out is not a failure: it delivers what came, possibly nothing (a
    // reply of whole packets without a zero-length packet ends this way). A
    // stalled endpoint is cleared and the rest of the transfer tried once more;
    // a second stall, a vanished device (LIBUSB_ERROR_NO_DEVICE) and any other
    // error are failures.
    std::optional<std::size_t> transfer(unsigned char endpoint, std::uint8_t* data,
                                        std::size_t length, unsigned int timeoutMs) {
        int transferred = 0;
        int result = libusb_bulk_transfer(handle_, endpoint, data, static_cast<int>(length),
                                          &transferred, timeoutMs);
        if (result == LIBUSB_ERROR_PIPE && libusb_clear_halt(handle_, endpoint) == 0) {
            const int before = transferred;
            transferred = 0;
            result =
                libusb_bulk_transfer(handle_, endpoint, data + before,
                                     static_cast<int>(length) - before, &transferred, timeoutMs);
            transferred += before;
        }
        if (result == 0 || result == LIBUSB_ERROR_TIMEOUT) {
            return static_cast<std::size_t>(transferred);
        }
        return std::nullopt;
    }

    libusb_device_handle* handle_;
    BulkInterface interface_;
    unsigned int writeTimeoutMs_ = kDefaultWriteTimeoutMs;
};

std::unique_ptr<DeviceChannel> openChannel(libusb_device* device, OpenFailure& failure) {
    const auto interface = FindBulkInterface(device);
    if (!interface) {
        failure = OpenFailure::NoBulkInterface;
        return nullptr;
    }
    libusb_device_handle* handle = nullptr;
    if (const int opened = libusb_open(device, &handle); opened != 0) {
        failure = failureOf(opened);
        return nullptr;
    }
    libusb_set_auto_detach_kernel_driver(handle, 1);
    if (const int claimed = libusb_claim_interface(handle, interface->number); claimed != 0) {
        failure = failureOf(claimed);
        libusb_close(handle);
        return nullptr;
    }
    failure = OpenFailure::None;
    return std::make_unique<LibusbChannel>(handle, *interface);
}

} // namespace

LibusbBackend::LibusbBackend(std::vector<UsbId> ids) : ids_(std::move(ids)) {}

LibusbBackend::~LibusbBackend() = default;

void LibusbBackend::setIds(std::vector<UsbId> ids) {
    const std::lock_guard lock(idsMutex_);
    ids_ = std::move(ids);
}

std::vector<UsbId> LibusbBackend::ids() const {
    const std::lock_guard lock(idsMutex_);
    return ids_;
}

template <typename Visit>
bool LibusbBackend::forEachListedDevice(const std::vector<UsbId>& ids, Visit&& visit) {
    if (!context_) {
        context_ = std::make_unique<LibusbContext>();
    }
    if (context_->get() == nullptr) {
        context_.reset(); // tried again next time
        return false;
    }
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context_->get(), &devices);
    if (count < 0) {
        return false;
    }
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(devices[i], &descriptor) != 0) {
            continue;
        }
        const UsbId id{descriptor.idVendor, descriptor.idProduct};
        if (std::find(ids.begin(), ids.end(), id) != ids.end() && !visit(devices[i])) {
            break;
        }
    }
    libusb_free_device_list(devices, 1);
    return true;
}

std::optional<std::vector<std::string>> LibusbBackend::listDevicePaths() {
    std::vector<std::string> paths;
    const std::vector<UsbId> listed = ids();
    if (listed.empty()) {
        return paths; // never guess which devices are instruments
    }
    // libusb lists the newest device first; the order of bus and ports stays
    // the same from one listing to the next.
    std::vector<std::pair<std::vector<int>, std::string>> located;
    const bool found = forEachListedDevice(listed, [&](libusb_device* device) {
        located.emplace_back(LibusbPortChain(device), LibusbDevicePath(device));
        return true;
    });
    if (!found) {
        return std::nullopt;
    }
    std::sort(located.begin(), located.end());
    for (auto& [chain, path] : located) {
        paths.push_back(std::move(path));
    }
    return paths;
}

std::unique_ptr<DeviceChannel> LibusbBackend::open(const std::string& path, OpenFailure& failure) {
    failure = OpenFailure::Vanished;
    const std::vector<UsbId> listed = ids();
    if (listed.empty() || !path.starts_with(kUsbPathPrefix)) {
        return nullptr;
    }
    std::unique_ptr<DeviceChannel> channel;
    forEachListedDevice(listed, [&](libusb_device* device) {
        if (LibusbDevicePath(device) != path) {
            return true;
        }
        channel = openChannel(device, failure);
        return false;
    });
    return channel;
}

} // namespace ombrix::link
