#pragma once

#include "link/DeviceBackend.h"
#include "link/UsbIdList.h"

#include <vector>

struct libusb_context;

namespace ombrix::link {

// Real instruments on USB, reached through libusb. Only devices whose
// vendor:product pair is listed are taken; with an empty list nothing is.
class LibusbBackend final : public DeviceBackend {
public:
    explicit LibusbBackend(std::vector<UsbId> ids);
    LibusbBackend(const LibusbBackend&) = delete;
    LibusbBackend& operator=(const LibusbBackend&) = delete;
    ~LibusbBackend() override;

    std::optional<std::vector<std::string>> listDevicePaths() override;
    std::unique_ptr<DeviceChannel> open(const std::string& path) override;

private:
    bool ensureContext();
    template <typename Visit> bool forEachMatchingDevice(Visit&& visit);

    std::vector<UsbId> ids_;
    libusb_context* context_ = nullptr;
};

} // namespace ombrix::link
