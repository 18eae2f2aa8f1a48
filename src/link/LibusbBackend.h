#pragma once

#include "link/DeviceBackend.h"
#include "link/UsbIdList.h"

#include <memory>
#include <mutex>
#include <vector>

struct libusb_device;

namespace ombrix::link {

class LibusbContext;

// Real instruments on USB, reached through libusb. Only devices whose
// vendor:product pair is listed are taken; with an empty list nothing is.
// The list may be changed from another thread while the session's thread uses
// the backend; the next listing or open goes by the new one.
class LibusbBackend final : public DeviceBackend {
public:
    explicit LibusbBackend(std::vector<UsbId> ids);
    LibusbBackend(const LibusbBackend&) = delete;
    LibusbBackend& operator=(const LibusbBackend&) = delete;
    ~LibusbBackend() override;

    void setIds(std::vector<UsbId> ids);
    std::vector<UsbId> ids() const;

    std::optional<std::vector<std::string>> listDevicePaths() override;
    using DeviceBackend::open;
    std::unique_ptr<DeviceChannel> open(const std::string& path, OpenFailure& failure) override;

private:
    template <typename Visit>
    bool forEachListedDevice(const std::vector<UsbId>& ids, Visit&& visit);

    mutable std::mutex idsMutex_;
    std::vector<UsbId> ids_;
    // Made on first use, on the thread that uses the devices.
    std::unique_ptr<LibusbContext> context_;
};

} // namespace ombrix::link
