#pragma once

#include <QElapsedTimer>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string_view>

namespace ombrix::sim {

// Writes what the instruments receive, one line per event:
//   <microseconds since start> port<N> <event>[ <bytes as lower-case hex>]
// Events: "plug", "unplug", "connect", "refuse" (a second host turned away),
// "disconnect", and "rx" with the bytes of one read. Each line is flushed at once.
class Recorder {
public:
    // A recorder that writes nothing.
    Recorder() = default;
    // Throws std::runtime_error when the file cannot be created.
    explicit Recorder(const std::filesystem::path& path);

    void record(int port, std::string_view event, std::span<const std::uint8_t> bytes = {});

private:
    std::ofstream file_;
    QElapsedTimer clock_;
};

} // namespace ombrix::sim
