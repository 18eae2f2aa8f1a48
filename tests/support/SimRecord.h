#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::sim::testing {

// What ombrix-sim has recorded so far for one of its ports (--record): the
// events with their times and the bytes the host sent, joined.
class SimRecord {
public:
    struct Event {
        std::int64_t micros = 0; // since the simulator started
        std::string name;        // rx, connect, disconnect, ...
        std::string bytes;       // what an rx event received
    };

    SimRecord(const std::filesystem::path& file, int port);

    const std::vector<Event>& events() const { return events_; }
    // How many events of this name the port had.
    std::size_t eventCount(std::string_view name) const;
    // Everything the host sent, joined.
    const std::string& received() const { return received_; }
    // How often `command` occurs in what the host sent.
    std::size_t count(std::string_view command) const;
    // The key codes the host sent ("#0,<code>;"), in order.
    std::vector<int> keyCodes() const;
    // Status requests, one per poll: by icons on a one-bit screen, else by "#7,SP,3;".
    std::size_t polls() const;

private:
    void addLine(const std::string& line, std::string_view port);

    std::vector<Event> events_;
    std::string received_;
};

} // namespace ombrix::sim::testing
