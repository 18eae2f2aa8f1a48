#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ombrix::link {

// Largest block one read may deliver.
inline constexpr std::size_t kReadBlockSize = 4096;

// One opened instrument. Destroying the channel closes it.
class DeviceChannel {
public:
    virtual ~DeviceChannel() = default;

    // One blocking write; the number of bytes that went out, or nothing on failure.
    virtual std::optional<std::size_t> write(std::span<const std::uint8_t> bytes) = 0;

    // Waits at most 10 ms for the first byte, then returns what has arrived (up to
    // buffer.size(), possibly 0 bytes), or nothing on failure.
    virtual std::optional<std::size_t> read(std::span<std::uint8_t> buffer) = 0;

    // Drops what has arrived and not been read, without waiting, up to maxBytes.
    virtual void discardPending(std::size_t maxBytes) = 0;

    // The driver's 4-byte control request: bounds the transfer time of the channel.
    virtual bool setTransferTimeout(std::int32_t value) = 0;
};

// Why a device could not be opened, as the user is told.
enum class OpenFailure : std::uint8_t {
    None,
    PermissionDenied, // this user may not read and write the device
    InUse,            // another program holds it (its interface is claimed, the socket refused)
    NoBulkInterface,  // no interface with one bulk IN and one bulk OUT endpoint
    Vanished,         // it went away between the listing and the open
    Failed,           // any other failure
};

// What the instrument driver offers: list the device paths, open one exclusively.
class DeviceBackend {
public:
    virtual ~DeviceBackend() = default;

    // Device paths of the present instruments in enumeration order, or nothing when
    // the listing itself failed.
    virtual std::optional<std::vector<std::string>> listDevicePaths() = 0;

    // Opens the device at path; nullptr when it is absent or cannot be opened,
    // with the reason in `failure`.
    virtual std::unique_ptr<DeviceChannel> open(const std::string& path, OpenFailure& failure) = 0;

    // The same, for callers that need no reason.
    std::unique_ptr<DeviceChannel> open(const std::string& path) {
        OpenFailure ignored = OpenFailure::None;
        return open(path, ignored);
    }
};

} // namespace ombrix::link
