#pragma once

#include "link/Clock.h"
#include "link/DeviceClaims.h"
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
// Longest text reply taken; the protocol's are a few dozen bytes, so a longer
// one is malformed rather than a reason to grow memory without bound.
inline constexpr std::size_t kMaxTextReplySize = 512;
// Most of a reply's size that is reserved before its bytes arrive.
inline constexpr std::size_t kMaxReplyReserve = 1024 * 1024;

struct DeviceEntry {
    DevicePathRecord pathRecord;
    std::int32_t unitType = 0;
    std::int32_t variant = 0; // letter after the unit type: 'A' gives 1
    std::int32_t usValue = 0;
    bool operator==(const DeviceEntry&) const = default;
};

// Which instrument OpenDevice may open.
enum class OpenRule {
    PreferredOrLowest, // the preferred one while it is listed, else the lowest serial
    OnlyPreferred,     // the preferred one or none
};

// Serial number -> instrument, ascending by serial.
using DeviceTable = std::map<Serial, DeviceEntry>;

// What the last refresh found at one device path.
struct DeviceProbe {
    enum class Outcome {
        Identified,      // `serial` names the instrument
        InUse,           // already open on this connection: `serial` names it
        InUseElsewhere,  // another program holds it: `serial` names it when that is known
        CannotOpen,      // the device refused to open: `failure` says why
        ConnectionLost,  // the device closed the connection or vanished while asked
        NoAnswer,        // no reply within the reply time-out
        NotAnInstrument, // it answered, but with no identification
    };
    DeviceProbe() = default;
    DeviceProbe(std::string path, Outcome outcome, std::optional<Serial> serial = std::nullopt,
                OpenFailure failure = OpenFailure::None, std::string unit = {})
        : path(std::move(path)), outcome(outcome), serial(serial), failure(failure),
          unit(std::move(unit)) {}

    std::string path;
    Outcome outcome = Outcome::CannotOpen;
    std::optional<Serial> serial;
    OpenFailure failure = OpenFailure::None;
    std::string unit; // the unit type of an identified instrument, e.g. "745A"
    bool operator==(const DeviceProbe&) const = default;
};

// The transport the protocol talks through: a table of identified instruments
// keyed by serial number, and byte moves with a silence time-out. Every link
// failure closes and forgets the instrument and raises DataSourceException 1.
class UsbConnection {
public:
    // `claims`, when given, is where the instrument opened for the session is
    // recorded, so another program can say which instrument is in use, and
    // where such records of other programs are looked up.
    UsbConnection(DeviceBackend& backend, Clock& clock, DeviceClaims* claims = nullptr);
    UsbConnection(const UsbConnection&) = delete;
    UsbConnection& operator=(const UsbConnection&) = delete;
    virtual ~UsbConnection();

    // Refreshes the table and makes sure one instrument is open: the preferred one
    // while it is listed, else (unless `rule` forbids it) the lowest serial. On
    // true `serial` names it.
    bool OpenDevice(std::optional<Serial>& serial, OpenRule rule = OpenRule::PreferredOrLowest);
    void WriteCommand(Serial serial, std::string_view command);
    void ReadExact(Serial serial, std::uint32_t count, std::optional<std::uint8_t> stopByte,
                   Bytes& out);
    void ReadUntil(Serial serial, std::string& out);
    [[noreturn]] void CloseDevice(Serial serial);

    void RefreshDevices();
    const DeviceTable& Devices() const { return devices_; }
    // Every device path of the last refresh that was not cut short, in
    // enumeration order.
    const std::vector<DeviceProbe>& LastProbes() const { return probes_; }
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
    Serial identify(const DevicePathRecord& device);
    DeviceProbe probe(const DevicePathRecord& device);
    DeviceProbe busyProbe(const std::string& path, DeviceProbe::Outcome otherwise,
                          OpenFailure failure) const;
    bool openForSession(Serial serial, const DeviceEntry& entry);
    bool openPreferred(Serial serial);
    void fill();
    void checkInterruption() const;
    void waitForBytes(Ticks lastByte);

    UsbDevicePort port_;
    Clock& clock_;
    DeviceTable devices_;
    std::vector<DeviceProbe> probes_;
    std::stop_token interruption_;
    DeviceClaims* claims_;
};

// The unit type and variant letter of an entry, e.g. "745A".
std::string UnitText(const DeviceEntry& entry);

} // namespace ombrix::link
