#pragma once

#include "link/Clock.h"
#include "link/UsbDevicePort.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

namespace ombrix::link {

// An instrument's serial number: the "N" field of its identification.
using Serial = std::uint32_t;

// Silence allowed while a reply is awaited.
inline constexpr std::chrono::milliseconds kReplyTimeout{4000};
// Pause between polls of a reader that found nothing.
inline constexpr std::chrono::milliseconds kReadPollInterval{10};
// Pause after an instrument failed to identify itself during a refresh.
inline constexpr std::chrono::milliseconds kFailedInstrumentPause{100};
// Largest piece of a command handed to the device in one write.
inline constexpr std::size_t kWriteChunkSize = 64;

struct DeviceEntry {
    DevicePathRecord pathRecord;
    std::int32_t unitType = 0;
    std::int32_t variant = 0; // letter after the unit type: 'A' gives 1
    std::int32_t usValue = 0;
    bool operator==(const DeviceEntry&) const = default;
};

// Serial number -> instrument, ascending by serial.
using DeviceTable = std::map<Serial, DeviceEntry>;

// The transport the protocol talks through: a table of identified instruments
// keyed by serial number, and byte moves with a silence time-out. Every link
// failure closes and forgets the instrument and raises DataSourceException 1.
class UsbConnection {
public:
    UsbConnection(DeviceBackend& backend, Clock& clock);
    UsbConnection(const UsbConnection&) = delete;
    UsbConnection& operator=(const UsbConnection&) = delete;
    virtual ~UsbConnection();

    // Refreshes the table and makes sure one instrument is open: the preferred one
    // while it is listed, else the lowest serial. On true `serial` names it.
    bool OpenDevice(std::optional<Serial>& serial);
    void WriteCommand(Serial serial, std::string_view command);
    void ReadExact(Serial serial, std::uint32_t count, std::optional<std::uint8_t> stopByte,
                   Bytes& out);
    void ReadUntil(Serial serial, std::string& out);
    [[noreturn]] void CloseDevice(Serial serial);

    void RefreshDevices();
    const DeviceTable& Devices() const { return devices_; }
    Clock& clock() { return clock_; }
    // A stop request on `token` ends a wait for a reply at its next poll, as a
    // link failure, so the thread that owns the link can end promptly.
    void setInterruption(std::stop_token token) { interruption_ = std::move(token); }

private:
    bool deviceUsable(Serial serial);
    void checkDevice(Serial serial);
    void writeChunks(std::string_view command);
    void readUntilTerminator(std::string& out);
    void readExactly(std::uint32_t count, std::optional<std::uint8_t> stopByte, Bytes& out);
    std::string exchangeText(std::string_view command);
    void identify(const DevicePathRecord& device);
    bool openPreferred(Serial serial);

    UsbDevicePort port_;
    void waitForBytes(Ticks lastByte);
    Clock& clock_;
    DeviceTable devices_;
    std::stop_token interruption_;
};

} // namespace ombrix::link
