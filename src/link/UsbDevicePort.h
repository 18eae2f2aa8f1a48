#pragma once

#include "link/DeviceBackend.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ombrix::link {

using Bytes = std::vector<std::uint8_t>;

// Longest device path a record holds, in UTF-16 code units (256 with the terminator).
inline constexpr std::size_t kMaxDevicePathLength = 255;

// Result of the port's operations.
enum class PortStatus : std::uint8_t {
    Done = 0,
    PlatformFailure = 1,
    BadArgument = 3,
    NotOpen = 4,
    NotSelected = 5,
};

struct DevicePathRecord {
    std::uint32_t index = 0; // position in the enumeration, counted from 1
    std::string path;
    bool operator==(const DevicePathRecord&) const = default;
};

// UTF-16 length of a UTF-8 path: what a record's capacity is measured in.
std::size_t devicePathLength(const std::string& path);

// The only code that reaches the instruments' devices: opens them by path, keeps
// one current record, moves byte blocks, and holds the receive buffer.
class UsbDevicePort {
public:
    explicit UsbDevicePort(DeviceBackend& backend);
    UsbDevicePort(const UsbDevicePort&) = delete;
    UsbDevicePort& operator=(const UsbDevicePort&) = delete;
    ~UsbDevicePort();

    PortStatus EnumerateDevices(std::vector<DevicePathRecord>& out);
    PortStatus OpenByPath(const DevicePathRecord& device);
    PortStatus CloseByPath(const DevicePathRecord& device);
    PortStatus SelectByPath(const std::string& path);
    PortStatus SetDriverTimeout(std::int32_t value);
    PortStatus WriteBytes(const Bytes& bytes);
    PortStatus ReadAvailable(Bytes& out);

    // Drops what the current record has received and nobody read, without waiting.
    void DiscardPending();

    void ClearReceive();
    void FillReceiveBuffer();
    bool HasUnread() const { return readPosition_ < receiveBuffer_.size(); }
    // Whether the last fill failed to read: the device is gone or dropped the
    // connection, and waiting for more would only run into the time-out.
    bool FillFailed() const { return fillFailed_; }
    bool GetByte(std::uint8_t& out);
    void TakeBytes(Bytes& out, std::size_t maximum);
    void CloseAll();

    bool IsOpen(const std::string& path) const;
    // Why the last OpenByPath failed; None after one that succeeded.
    OpenFailure LastOpenFailure() const { return lastOpenFailure_; }
    std::size_t RecordCount() const { return records_.size(); }

private:
    struct Record {
        std::string path;
        std::unique_ptr<DeviceChannel> channel; // set while open
        bool open() const { return channel != nullptr; }
    };

    Record* findRecord(const std::string& path);
    const Record* findRecord(const std::string& path) const;
    PortStatus checkCurrent() const;

    DeviceBackend& backend_;
    std::vector<Record> records_;
    std::optional<std::size_t> current_;
    bool selected_ = false;
    Bytes receiveBuffer_;
    std::size_t readPosition_ = 0;
    bool fillFailed_ = false;
    OpenFailure lastOpenFailure_ = OpenFailure::None;
};

} // namespace ombrix::link
