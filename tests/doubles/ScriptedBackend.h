#pragma once

#include "doubles/ManualClock.h"
#include "link/DeviceBackend.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::link {

// The identification a device refresh asks every device for first.
inline constexpr const char* kShortIdentification = ";#1,U?,N?;";

// One piece of a scripted reply: bytes that arrive `delay` after the command.
struct ReplyPiece {
    std::chrono::milliseconds delay{0};
    std::string bytes;
};

// An in-memory instrument for unit tests. It answers whole commands with scripted
// replies whose pieces arrive at given times of the test's clock, records every
// write, and can be told to fail in the ways a real link fails.
class ScriptedDevice {
public:
    explicit ScriptedDevice(Clock& clock) : clock_(clock) {}

    // Every time the bytes written since the last answered command end with
    // `command`, the pieces are scheduled. A later answer to the same command
    // replaces the earlier one.
    void answer(std::string command, std::vector<ReplyPiece> pieces);
    void answer(std::string command, std::string reply);
    // Bytes that arrive `delay` from now, unasked.
    void send(std::string bytes, std::chrono::milliseconds delay = {});

    std::vector<std::string> writes() const;
    std::string written() const;
    std::vector<std::int32_t> timeoutRequests() const;
    int openCount() const;
    int readCount() const;
    std::size_t pendingBytes() const;

    // A refused open says `reason`.
    void setFailOpen(bool fail, OpenFailure reason = OpenFailure::Failed);
    void setFailWrite(bool fail);
    void setShortWrite(bool shortWrite);
    void setFailRead(bool fail);
    void setPresent(bool present);
    bool present() const;

private:
    friend class ScriptedChannel;
    friend class ScriptedBackend;
    struct Arrival {
        Ticks at;
        std::string bytes;
    };

    bool acceptOpen();
    OpenFailure openFailure() const;
    std::optional<std::size_t> acceptWrite(std::span<const std::uint8_t> bytes);
    std::optional<std::size_t> deliver(std::span<std::uint8_t> buffer);
    void dropArrived(std::size_t maxBytes);
    void schedule(const std::vector<ReplyPiece>& pieces);

    Clock& clock_;
    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, std::vector<ReplyPiece>>> answers_;
    std::string unanswered_;
    std::deque<Arrival> arrivals_;
    std::vector<std::string> writes_;
    std::vector<std::int32_t> timeoutRequests_;
    int openCount_ = 0;
    int readCount_ = 0;
    bool failOpen_ = false;
    OpenFailure openFailure_ = OpenFailure::Failed;
    bool failWrite_ = false;
    bool shortWrite_ = false;
    bool failRead_ = false;
    bool present_ = true;
};

class ScriptedBackend final : public DeviceBackend {
public:
    explicit ScriptedBackend(Clock& clock) : clock_(clock) {}

    // Adds a device at the end of the enumeration order.
    ScriptedDevice& addDevice(const std::string& path);
    // Adds a device that identifies itself during a device refresh: unit type
    // `unit` (with its letter), `serial`, and `usValue` for ";#7,US;".
    ScriptedDevice& addInstrument(const std::string& path, std::uint32_t serial,
                                  const std::string& unit = "745A", int usValue = 0);
    ScriptedDevice& device(const std::string& path);
    void setFailListing(bool fail) { failListing_ = fail; }

    std::optional<std::vector<std::string>> listDevicePaths() override;
    using DeviceBackend::open;
    std::unique_ptr<DeviceChannel> open(const std::string& path, OpenFailure& failure) override;

private:
    Clock& clock_;
    std::vector<std::pair<std::string, std::shared_ptr<ScriptedDevice>>> devices_;
    bool failListing_ = false;
};

} // namespace ombrix::link
