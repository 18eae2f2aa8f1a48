#include "link/UsbDevicePort.h"

#include <algorithm>
#include <exception>

namespace ombrix::link {

namespace {

// A device that never stops sending full blocks must not grow one fill without
// bound; the rest stays with the device and arrives with the next fill.
constexpr std::size_t kMaxFillBytes = 4 * 1024 * 1024;

// Upper bound for dropping stale input, for the same reason.
constexpr std::size_t kMaxDiscardBytes = 4 * 1024 * 1024;

} // namespace

std::size_t devicePathLength(const std::string& path) {
    std::size_t units = 0;
    for (const char c : path) {
        const auto byte = static_cast<std::uint8_t>(c);
        if ((byte & 0xC0) == 0x80) {
            continue; // continuation byte
        }
        units += (byte >= 0xF0) ? 2 : 1; // four-byte sequences need a surrogate pair
    }
    return units;
}

UsbDevicePort::UsbDevicePort(DeviceBackend& backend) : backend_(backend) {}

UsbDevicePort::~UsbDevicePort() = default;

PortStatus UsbDevicePort::EnumerateDevices(std::vector<DevicePathRecord>& out) {
    const auto paths = backend_.listDevicePaths();
    if (!paths) {
        return PortStatus::PlatformFailure;
    }
    std::uint32_t index = 0;
    for (const auto& path : *paths) {
        out.push_back({++index, path});
    }
    return PortStatus::Done;
}

PortStatus UsbDevicePort::OpenByPath(const DevicePathRecord& device) {
    Record* record = findRecord(device.path);
    if (record == nullptr) {
        records_.push_back(Record{device.path, nullptr});
        record = &records_.back();
    }
    lastOpenFailure_ = OpenFailure::Failed;
    // A path the record cannot hold whole is refused rather than cut, since a cut
    // path could name another device.
    if (record->open() || devicePathLength(device.path) > kMaxDevicePathLength) {
        return PortStatus::PlatformFailure;
    }
    const auto paths = backend_.listDevicePaths();
    if (!paths) {
        return PortStatus::PlatformFailure;
    }
    if (std::find(paths->begin(), paths->end(), device.path) == paths->end()) {
        lastOpenFailure_ = OpenFailure::Vanished;
        return PortStatus::PlatformFailure;
    }
    auto channel = backend_.open(device.path, lastOpenFailure_);
    if (!channel) {
        return PortStatus::PlatformFailure;
    }
    record->channel = std::move(channel);
    lastOpenFailure_ = OpenFailure::None;
    return PortStatus::Done;
}

PortStatus UsbDevicePort::CloseByPath(const DevicePathRecord& device) {
    const auto open = std::find_if(records_.begin(), records_.end(), [&](const Record& r) {
        return r.path == device.path && r.open();
    });
    if (open == records_.end()) {
        return PortStatus::NotSelected;
    }
    open->channel.reset();
    return PortStatus::Done;
}

PortStatus UsbDevicePort::SelectByPath(const std::string& path) {
    const auto found = std::find_if(records_.begin(), records_.end(),
                                    [&](const Record& r) { return r.path == path; });
    if (found == records_.end()) {
        return PortStatus::NotSelected;
    }
    if (!found->open()) {
        return PortStatus::NotOpen;
    }
    current_ = static_cast<std::size_t>(found - records_.begin());
    selected_ = true;
    return PortStatus::Done;
}

PortStatus UsbDevicePort::checkCurrent() const {
    if (!selected_ || !current_) {
        return PortStatus::NotSelected;
    }
    return records_[*current_].open() ? PortStatus::Done : PortStatus::NotOpen;
}

PortStatus UsbDevicePort::SetDriverTimeout(std::int32_t value) {
    if (value < 0) {
        return PortStatus::BadArgument;
    }
    if (const auto status = checkCurrent(); status != PortStatus::Done) {
        return status;
    }
    return records_[*current_].channel->setTransferTimeout(value) ? PortStatus::Done
                                                                  : PortStatus::PlatformFailure;
}

PortStatus UsbDevicePort::WriteBytes(const Bytes& bytes) {
    if (const auto status = checkCurrent(); status != PortStatus::Done) {
        return status;
    }
    if (bytes.empty()) {
        return PortStatus::Done;
    }
    const auto written = records_[*current_].channel->write(bytes);
    if (!written) {
        return PortStatus::PlatformFailure;
    }
    return *written < bytes.size() ? PortStatus::BadArgument : PortStatus::Done;
}

PortStatus UsbDevicePort::ReadAvailable(Bytes& out) {
    if (const auto status = checkCurrent(); status != PortStatus::Done) {
        return status;
    }
    DeviceChannel& channel = *records_[*current_].channel;
    std::uint8_t block[kReadBlockSize];
    std::size_t total = 0;
    while (true) {
        const auto count = channel.read(block);
        if (!count) {
            return PortStatus::PlatformFailure;
        }
        const std::size_t taken = std::min(*count, kReadBlockSize);
        out.insert(out.end(), block, block + taken);
        total += taken;
        if (taken < kReadBlockSize || total >= kMaxFillBytes) {
            return PortStatus::Done;
        }
    }
}

void UsbDevicePort::DiscardPending() {
    if (checkCurrent() != PortStatus::Done) {
        return;
    }
    records_[*current_].channel->discardPending(kMaxDiscardBytes);
}

void UsbDevicePort::ClearReceive() {
    receiveBuffer_.clear();
    readPosition_ = 0;
}

void UsbDevicePort::FillReceiveBuffer() {
    // Straight into the receive buffer, whose memory stays from fill to fill: a
    // screen arrives without a new allocation once the first one has.
    ClearReceive();
    try {
        fillFailed_ = ReadAvailable(receiveBuffer_) != PortStatus::Done;
    } catch (const std::exception&) {
        ClearReceive();
        fillFailed_ = true;
    }
}

bool UsbDevicePort::GetByte(std::uint8_t& out) {
    if (!HasUnread()) {
        FillReceiveBuffer();
    }
    if (!HasUnread()) {
        return false;
    }
    out = receiveBuffer_[readPosition_++];
    return true;
}

void UsbDevicePort::TakeBytes(Bytes& out, std::size_t maximum) {
    const std::size_t unread = receiveBuffer_.size() - readPosition_;
    const std::size_t count = std::min(unread, maximum);
    const auto first = receiveBuffer_.begin() + static_cast<std::ptrdiff_t>(readPosition_);
    out.insert(out.end(), first, first + static_cast<std::ptrdiff_t>(count));
    readPosition_ += count;
}

void UsbDevicePort::CloseAll() {
    // Every open record is closed, also one whose device has vanished: its
    // channel would otherwise stay open for the rest of the run.
    for (auto& record : records_) {
        record.channel.reset();
    }
}

bool UsbDevicePort::IsOpen(const std::string& path) const {
    const Record* record = findRecord(path);
    return record != nullptr && record->open();
}

UsbDevicePort::Record* UsbDevicePort::findRecord(const std::string& path) {
    const auto found = std::find_if(records_.begin(), records_.end(),
                                    [&](const Record& r) { return r.path == path; });
    return found == records_.end() ? nullptr : &*found;
}

const UsbDevicePort::Record* UsbDevicePort::findRecord(const std::string& path) const {
    const auto found = std::find_if(records_.begin(), records_.end(),
                                    [&](const Record& r) { return r.path == path; });
    return found == records_.end() ? nullptr : &*found;
}

} // namespace ombrix::link
