#pragma once

#include "link/DeviceBackend.h"

#include <filesystem>

namespace ombrix::link {

inline constexpr std::string_view kSocketPathPrefix = "sock:";

// Instruments served as Unix-domain stream sockets named *.sock in one directory
// (simulated instruments, or bridges to remote ones). The byte stream carries the
// protocol unchanged.
class SocketBackend final : public DeviceBackend {
public:
    explicit SocketBackend(std::filesystem::path directory);

    std::optional<std::vector<std::string>> listDevicePaths() override;
    using DeviceBackend::open;
    std::unique_ptr<DeviceChannel> open(const std::string& path, OpenFailure& failure) override;

private:
    std::filesystem::path directory_;
};

} // namespace ombrix::link
