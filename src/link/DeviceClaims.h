#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>

namespace ombrix::link {

// Who holds a device: the serial of the instrument there and the program's
// process id.
struct DeviceClaim {
    std::uint32_t serial = 0;
    pid_t pid = 0;
    bool operator==(const DeviceClaim&) const = default;
};

// Small per-user records of the devices this user's programs hold open, one
// file a device path, so that another program finding the device busy can say
// which instrument it is. A record of a process that has ended is ignored, and
// so is this process's own.
class DeviceClaims {
public:
    explicit DeviceClaims(std::filesystem::path directory);

    // Records that this process holds the instrument `serial` at `path`; false
    // when the record cannot be written (nothing else depends on it).
    bool claim(const std::string& path, std::uint32_t serial);
    // Forgets this process's record of `path`.
    void release(const std::string& path);
    // The live record of another process for `path`.
    std::optional<DeviceClaim> holder(const std::string& path) const;

    const std::filesystem::path& directory() const { return directory_; }

private:
    std::filesystem::path fileFor(const std::string& path) const;
    std::optional<DeviceClaim> read(const std::string& path) const;

    std::filesystem::path directory_;
};

// $XDG_RUNTIME_DIR/ombrix/claims, else /tmp/ombrix-<uid>/claims.
std::filesystem::path ClaimsDirectory();

} // namespace ombrix::link
