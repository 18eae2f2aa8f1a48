#include "doubles/ScriptedBackend.h"

#include <algorithm>
#include <stdexcept>

namespace ombrix::link {

class ScriptedChannel final : public DeviceChannel {
public:
    explicit ScriptedChannel(std::shared_ptr<ScriptedDevice> device) : device_(std::move(device)) {}

    std::optional<std::size_t> write(std::span<const std::uint8_t> bytes) override {
        return device_->acceptWrite(bytes);
    }
    std::optional<std::size_t> read(std::span<std::uint8_t> buffer) override {
        return device_->deliver(buffer);
    }
    void discardPending(std::size_t maxBytes) override { device_->dropArrived(maxBytes); }
    bool setTransferTimeout(std::int32_t value) override {
        std::lock_guard lock(device_->mutex_);
        device_->timeoutRequests_.push_back(value);
        return true;
    }

private:
    std::shared_ptr<ScriptedDevice> device_;
};

void ScriptedDevice::answer(std::string command, std::vector<ReplyPiece> pieces) {
    std::lock_guard lock(mutex_);
    const auto known = std::find_if(answers_.begin(), answers_.end(),
                                    [&](const auto& entry) { return entry.first == command; });
    if (known != answers_.end()) {
        known->second = std::move(pieces);
        return;
    }
    answers_.emplace_back(std::move(command), std::move(pieces));
}

void ScriptedDevice::answer(std::string command, std::string reply) {
    answer(std::move(command), std::vector<ReplyPiece>{{{}, std::move(reply)}});
}

void ScriptedDevice::send(std::string bytes, std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    schedule({{delay, std::move(bytes)}});
}

void ScriptedDevice::schedule(const std::vector<ReplyPiece>& pieces) {
    const Ticks now = clock_.ticks();
    for (const auto& piece : pieces) {
        arrivals_.push_back({now + static_cast<Ticks>(piece.delay.count()), piece.bytes});
    }
    // Signed differences keep the order right across the 32-bit wrap of the ticks.
    std::stable_sort(arrivals_.begin(), arrivals_.end(), [](const Arrival& a, const Arrival& b) {
        return static_cast<std::int32_t>(a.at - b.at) < 0;
    });
}

std::vector<std::string> ScriptedDevice::writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
}

std::string ScriptedDevice::written() const {
    std::lock_guard lock(mutex_);
    std::string all;
    for (const auto& write : writes_) {
        all += write;
    }
    return all;
}

std::vector<std::int32_t> ScriptedDevice::timeoutRequests() const {
    std::lock_guard lock(mutex_);
    return timeoutRequests_;
}

int ScriptedDevice::openCount() const {
    std::lock_guard lock(mutex_);
    return openCount_;
}

int ScriptedDevice::readCount() const {
    std::lock_guard lock(mutex_);
    return readCount_;
}

std::size_t ScriptedDevice::pendingBytes() const {
    std::lock_guard lock(mutex_);
    std::size_t total = 0;
    for (const auto& arrival : arrivals_) {
        total += arrival.bytes.size();
    }
    return total;
}

void ScriptedDevice::setFailOpen(bool fail, OpenFailure reason) {
    std::lock_guard lock(mutex_);
    failOpen_ = fail;
    openFailure_ = reason;
}

OpenFailure ScriptedDevice::openFailure() const {
    std::lock_guard lock(mutex_);
    return present_ ? openFailure_ : OpenFailure::Vanished;
}

void ScriptedDevice::setFailWrite(bool fail) {
    std::lock_guard lock(mutex_);
    failWrite_ = fail;
}

void ScriptedDevice::setShortWrite(bool shortWrite) {
    std::lock_guard lock(mutex_);
    shortWrite_ = shortWrite;
}

void ScriptedDevice::setFailRead(bool fail) {
    std::lock_guard lock(mutex_);
    failRead_ = fail;
}

void ScriptedDevice::setPresent(bool present) {
    std::lock_guard lock(mutex_);
    present_ = present;
}

bool ScriptedDevice::present() const {
    std::lock_guard lock(mutex_);
    return present_;
}

bool ScriptedDevice::acceptOpen() {
    std::lock_guard lock(mutex_);
    if (failOpen_ || !present_) {
        return false;
    }
    ++openCount_;
    return true;
}

std::optional<std::size_t> ScriptedDevice::acceptWrite(std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    if (failWrite_ || !present_) {
        return std::nullopt;
    }
    const std::size_t accepted = shortWrite_ ? bytes.size() / 2 : bytes.size();
    writes_.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(accepted));
    unanswered_ += writes_.back();
    for (const auto& [command, pieces] : answers_) {
        if (unanswered_.ends_with(command)) {
            schedule(pieces);
            unanswered_.clear();
            break;
        }
    }
    return accepted;
}

std::optional<std::size_t> ScriptedDevice::deliver(std::span<std::uint8_t> buffer) {
    std::lock_guard lock(mutex_);
    ++readCount_;
    if (failRead_ || !present_) {
        return std::nullopt;
    }
    const Ticks now = clock_.ticks();
    std::size_t filled = 0;
    while (!arrivals_.empty() && filled < buffer.size()) {
        Arrival& next = arrivals_.front();
        if (static_cast<std::int32_t>(now - next.at) < 0) {
            break; // not arrived yet
        }
        const std::size_t count = std::min(next.bytes.size(), buffer.size() - filled);
        std::copy_n(next.bytes.begin(), count,
                    buffer.begin() + static_cast<std::ptrdiff_t>(filled));
        filled += count;
        next.bytes.erase(0, count);
        if (next.bytes.empty()) {
            arrivals_.pop_front();
        }
    }
    return filled;
}

void ScriptedDevice::dropArrived(std::size_t maxBytes) {
    std::lock_guard lock(mutex_);
    const Ticks now = clock_.ticks();
    std::size_t dropped = 0;
    while (!arrivals_.empty() && dropped < maxBytes &&
           static_cast<std::int32_t>(now - arrivals_.front().at) >= 0) {
        dropped += arrivals_.front().bytes.size();
        arrivals_.pop_front();
    }
}

ScriptedDevice& ScriptedBackend::addDevice(const std::string& path) {
    devices_.emplace_back(path, std::make_shared<ScriptedDevice>(clock_));
    return *devices_.back().second;
}

ScriptedDevice& ScriptedBackend::addInstrument(const std::string& path, std::uint32_t serial,
                                               const std::string& unit, int usValue) {
    ScriptedDevice& device = addDevice(path);
    device.answer(kShortIdentification, "#1,U" + unit + ",N" + std::to_string(serial) + ";");
    device.answer(";#7,US;", "#7,US," + std::to_string(usValue) + ";");
    return device;
}

ScriptedDevice& ScriptedBackend::device(const std::string& path) {
    const auto found = std::find_if(devices_.begin(), devices_.end(),
                                    [&](const auto& entry) { return entry.first == path; });
    if (found == devices_.end()) {
        throw std::out_of_range("no scripted device at " + path);
    }
    return *found->second;
}

std::optional<std::vector<std::string>> ScriptedBackend::listDevicePaths() {
    if (failListing_) {
        return std::nullopt;
    }
    std::vector<std::string> paths;
    for (const auto& [path, device] : devices_) {
        if (device->present()) {
            paths.push_back(path);
        }
    }
    return paths;
}

std::unique_ptr<DeviceChannel> ScriptedBackend::open(const std::string& path,
                                                     OpenFailure& failure) {
    const auto found = std::find_if(devices_.begin(), devices_.end(),
                                    [&](const auto& entry) { return entry.first == path; });
    if (found == devices_.end()) {
        failure = OpenFailure::Vanished;
        return nullptr;
    }
    if (!found->second->acceptOpen()) {
        failure = found->second->openFailure();
        return nullptr;
    }
    return std::make_unique<ScriptedChannel>(found->second);
}

} // namespace ombrix::link
