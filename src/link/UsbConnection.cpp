#include "link/UsbConnection.h"

#include "link/LinkErrors.h"
#include "link/ReplyField.h"

#include <algorithm>
#include <charconv>

namespace ombrix::link {

namespace {

constexpr std::string_view kShortIdentification = ";#1,U?,N?;";
constexpr std::string_view kUsRequest = ";#7,US;";
constexpr std::string_view kIdentificationMark = "#1,U";
constexpr char kReplyTerminator = ';';

bool timedOut(Ticks since, Ticks now) {
    return elapsedSince(since, now) > static_cast<Ticks>(kReplyTimeout.count());
}

// Unit type and variant from the "U" field: a number, then an optional letter.
std::optional<std::pair<std::int32_t, std::int32_t>> parseUnit(const std::string& text) {
    std::int32_t unitType = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, unitType);
    if (error != std::errc{}) {
        return std::nullopt;
    }
    const std::int32_t variant = rest == end ? 0 : static_cast<unsigned char>(*rest) - 64;
    return std::pair{unitType, variant};
}

} // namespace

UsbConnection::UsbConnection(DeviceBackend& backend, Clock& clock, DeviceClaims* claims)
    : port_(backend), clock_(clock), claims_(claims) {}

UsbConnection::~UsbConnection() {
    port_.ClearReceive();
    port_.CloseAll();
    if (claims_ != nullptr) {
        for (const auto& [serial, entry] : devices_) {
            claims_->release(entry.pathRecord.path);
        }
    }
    devices_.clear();
}

std::string UnitText(const DeviceEntry& entry) {
    std::string text = std::to_string(entry.unitType);
    if (entry.variant > 0 && entry.variant < 27) {
        text.push_back(static_cast<char>('A' + entry.variant - 1));
    }
    return text;
}

bool UsbConnection::OpenDevice(std::optional<Serial>& serial, OpenRule rule) {
    RefreshDevices();
    if (serial && deviceUsable(*serial)) {
        return true;
    }
    // The instrument used before is reopened while it is listed; falling back to
    // the lowest serial would switch instruments after every link failure.
    if (serial && openPreferred(*serial)) {
        return true;
    }
    if (devices_.empty() || (serial && rule == OpenRule::OnlyPreferred)) {
        return false;
    }
    const auto& [lowest, entry] = *devices_.begin();
    // Already open for the session (its selection was dropped): keep using it.
    if (deviceUsable(lowest)) {
        serial = lowest;
        return true;
    }
    if (!openForSession(lowest, entry)) {
        return false;
    }
    serial = lowest;
    return true;
}

bool UsbConnection::openPreferred(Serial serial) {
    const auto found = devices_.find(serial);
    return found != devices_.end() && openForSession(serial, found->second);
}

bool UsbConnection::openForSession(Serial serial, const DeviceEntry& entry) {
    if (port_.OpenByPath(entry.pathRecord) != PortStatus::Done) {
        return false;
    }
    if (claims_ != nullptr) {
        claims_->claim(entry.pathRecord.path, serial);
    }
    // The refresh saw it closed; it is the session's now.
    for (DeviceProbe& probe : probes_) {
        if (probe.path == entry.pathRecord.path) {
            probe.outcome = DeviceProbe::Outcome::InUse;
        }
    }
    return true;
}

void UsbConnection::RefreshDevices() {
    std::vector<DevicePathRecord> present;
    port_.EnumerateDevices(present);
    std::erase_if(devices_, [&](const auto& item) {
        const std::string& path = item.second.pathRecord.path;
        const bool gone = std::none_of(present.begin(), present.end(),
                                       [&](const DevicePathRecord& p) { return p.path == path; });
        if (gone && claims_ != nullptr) {
            claims_->release(path);
        }
        return gone;
    });
    std::vector<DeviceProbe> probes;
    for (const auto& device : present) {
        try {
            probes.push_back(probe(device));
        } catch (const CommBreakException&) {
            // A refresh cut short says nothing; the last whole one still holds.
            port_.CloseByPath(device);
            return;
        }
    }
    probes_ = std::move(probes);
}

DeviceProbe UsbConnection::probe(const DevicePathRecord& device) {
    using Outcome = DeviceProbe::Outcome;
    if (port_.IsOpen(device.path)) {
        // The instrument open for the session: it keeps its entry.
        const auto open = std::find_if(devices_.begin(), devices_.end(), [&](const auto& item) {
            return item.second.pathRecord.path == device.path;
        });
        return {device.path, Outcome::InUse,
                open == devices_.end() ? std::nullopt : std::optional(open->first)};
    }
    if (port_.OpenByPath(device) != PortStatus::Done) {
        return busyProbe(device.path, Outcome::CannotOpen, port_.LastOpenFailure());
    }
    try {
        const Serial serial = identify(device);
        port_.CloseByPath(device);
        return {device.path, Outcome::Identified, serial, OpenFailure::None,
                UnitText(devices_.at(serial))};
    } catch (const CommException& failure) {
        port_.CloseByPath(device);
        clock_.sleepFor(kFailedInstrumentPause);
        switch (failure.code()) {
        case CommException::kTimeout:
            return {device.path, Outcome::NoAnswer, std::nullopt};
        case CommException::kReadFailed:
        case CommException::kWriteFailed:
            // An instrument that serves one host at a time drops a second one.
            return busyProbe(device.path, Outcome::ConnectionLost, OpenFailure::None);
        default:
            return {device.path, Outcome::NotAnInstrument, std::nullopt};
        }
    }
}

// A device another program holds: named by the serial that program recorded,
// or by its path alone when the device itself said it is busy.
DeviceProbe UsbConnection::busyProbe(const std::string& path, DeviceProbe::Outcome otherwise,
                                     OpenFailure failure) const {
    using Outcome = DeviceProbe::Outcome;
    const std::optional<DeviceClaim> holder =
        claims_ != nullptr ? claims_->holder(path) : std::nullopt;
    if (holder) {
        return {path, Outcome::InUseElsewhere, holder->serial, OpenFailure::InUse};
    }
    if (failure == OpenFailure::InUse) {
        return {path, Outcome::InUseElsewhere, std::nullopt, OpenFailure::InUse};
    }
    return {path, otherwise, std::nullopt, failure};
}

Serial UsbConnection::identify(const DevicePathRecord& device) {
    if (port_.SelectByPath(device.path) != PortStatus::Done) {
        throw CommException(CommException::kReadFailed);
    }
    port_.SetDriverTimeout(static_cast<std::int32_t>(kReplyTimeout.count()) * 1000);
    const std::string identification = exchangeText(kShortIdentification);
    if (identification.find(kIdentificationMark) == std::string::npos) {
        throw CommException(CommException::kBadIdentification);
    }
    const std::string usReply = exchangeText(kUsRequest);

    const auto unitField = ReplyField<std::string>(identification, "U");
    const auto unit = unitField ? parseUnit(*unitField) : std::nullopt;
    const auto serial = ReplyField<std::uint32_t>(identification, "N");
    if (!unit || !serial) {
        throw CommException(CommException::kBadIdentification);
    }
    DeviceEntry entry;
    entry.pathRecord = device;
    entry.unitType = unit->first;
    entry.variant = unit->second;
    entry.usValue = ReplyField<std::int32_t>(usReply, "US", true).value_or(0);
    // A path that now answers with another serial (an instrument swapped on the
    // same port) must not stay listed under the old one.
    std::erase_if(devices_, [&](const auto& item) {
        return item.first != *serial && item.second.pathRecord.path == device.path;
    });
    devices_[*serial] = entry;
    return *serial;
}

std::string UsbConnection::exchangeText(std::string_view command) {
    port_.ClearReceive();
    port_.DiscardPending();
    writeChunks(command);
    std::string reply;
    readUntilTerminator(reply);
    return reply;
}

bool UsbConnection::deviceUsable(Serial serial) {
    const auto found = devices_.find(serial);
    return found != devices_.end() &&
           port_.SelectByPath(found->second.pathRecord.path) == PortStatus::Done;
}

void UsbConnection::checkDevice(Serial serial) {
    if (!deviceUsable(serial)) {
        CloseDevice(serial);
    }
}

void UsbConnection::WriteCommand(Serial serial, std::string_view command) {
    checkDevice(serial);
    try {
        // Whatever the instrument sent earlier and nobody read would otherwise
        // become the start of this command's reply.
        port_.ClearReceive();
        port_.DiscardPending();
        writeChunks(command);
    } catch (const CommException&) {
        CloseDevice(serial);
    } catch (const CommBreakException&) {
        CloseDevice(serial);
    }
}

void UsbConnection::writeChunks(std::string_view command) {
    for (std::size_t offset = 0; offset < command.size(); offset += kWriteChunkSize) {
        const auto chunk = command.substr(offset, kWriteChunkSize);
        const Bytes bytes(chunk.begin(), chunk.end());
        if (port_.WriteBytes(bytes) != PortStatus::Done) {
            throw CommException(CommException::kWriteFailed);
        }
    }
}

void UsbConnection::ReadUntil(Serial serial, std::string& out) {
    checkDevice(serial);
    try {
        readUntilTerminator(out);
    } catch (const CommException&) {
        CloseDevice(serial);
    } catch (const CommBreakException&) {
        CloseDevice(serial);
    }
}

void UsbConnection::readUntilTerminator(std::string& out) {
    out.clear();
    Ticks lastByte = clock_.ticks();
    while (true) {
        checkInterruption();
        if (!port_.HasUnread()) {
            fill();
        }
        std::uint8_t byte = 0;
        if (!port_.HasUnread() || !port_.GetByte(byte)) {
            waitForBytes(lastByte);
            continue;
        }
        if (out.size() == kMaxTextReplySize) {
            throw CommException(CommException::kReplyTooLong);
        }
        out.push_back(static_cast<char>(byte));
        if (byte == static_cast<std::uint8_t>(kReplyTerminator)) {
            return;
        }
        lastByte = clock_.ticks();
    }
}

void UsbConnection::ReadExact(Serial serial, std::uint32_t count,
                              std::optional<std::uint8_t> stopByte, Bytes& out) {
    checkDevice(serial);
    if (count == 0) {
        return;
    }
    try {
        readExactly(count, stopByte, out);
    } catch (const CommException&) {
        CloseDevice(serial);
    } catch (const CommBreakException&) {
        CloseDevice(serial);
    }
}

void UsbConnection::readExactly(std::uint32_t count, std::optional<std::uint8_t> stopByte,
                                Bytes& out) {
    out.clear();
    // A device that never sends must not cost the memory its reply would.
    out.reserve(std::min<std::size_t>(count, kMaxReplyReserve));
    Ticks lastByte = clock_.ticks();
    while (true) {
        // Also while bytes keep trickling in: a stop must not wait for the rest.
        checkInterruption();
        if (!port_.HasUnread()) {
            fill();
        }
        if (port_.HasUnread()) {
            port_.TakeBytes(out, count - out.size());
            if (out.size() == count) {
                return;
            }
            lastByte = clock_.ticks();
            if (stopByte && std::find(out.begin(), out.end(), *stopByte) != out.end()) {
                return;
            }
        } else {
            waitForBytes(lastByte);
        }
    }
}

void UsbConnection::fill() {
    port_.FillReceiveBuffer();
    if (port_.FillFailed()) {
        throw CommException(CommException::kReadFailed);
    }
}

void UsbConnection::checkInterruption() const {
    if (interruption_.stop_requested()) {
        throw CommBreakException();
    }
}

void UsbConnection::waitForBytes(Ticks lastByte) {
    if (timedOut(lastByte, clock_.ticks())) {
        throw CommException(CommException::kTimeout);
    }
    clock_.sleepFor(kReadPollInterval);
}

void UsbConnection::CloseDevice(Serial serial) {
    const auto found = devices_.find(serial);
    if (found != devices_.end()) {
        port_.CloseByPath(found->second.pathRecord);
        if (claims_ != nullptr) {
            claims_->release(found->second.pathRecord.path);
        }
        devices_.erase(found);
    }
    port_.ClearReceive();
    throw DataSourceException(DataSourceException::kLinkFailure);
}

} // namespace ombrix::link
