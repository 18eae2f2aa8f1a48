#pragma once

#include "link/DeviceBackend.h"

#include <memory>
#include <vector>

namespace ombrix::link {

// Several backends seen as one driver: their device paths listed one after the
// other; each path is opened by the backend that knows its prefix.
class CombinedBackend final : public DeviceBackend {
public:
    void add(std::unique_ptr<DeviceBackend> backend);

    // Lists what every working backend lists; fails only when all of them fail, so
    // an unusable USB stack does not hide the socket instruments.
    std::optional<std::vector<std::string>> listDevicePaths() override;
    using DeviceBackend::open;
    std::unique_ptr<DeviceChannel> open(const std::string& path, OpenFailure& failure) override;

private:
    std::vector<std::unique_ptr<DeviceBackend>> backends_;
};

} // namespace ombrix::link
