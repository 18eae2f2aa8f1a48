#pragma once

#include "link/UsbConnection.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace ombrix::session {

using link::Bytes;
using link::Serial;

// Pause between a command and the first read of its reply.
inline constexpr std::chrono::milliseconds kCommandPause{10};

// Length of the "#7,SP,n," header of a binary block.
inline constexpr std::size_t kBlockHeaderSize = 8;

// A binary block reply: either the payload, or the instrument's not-supported marker.
struct BlockReply {
    bool notSupported = false;
    Bytes payload;
};

// The instrument's command protocol: each operation writes one command, waits,
// reads and frames its reply. It keeps no state; every link failure or malformed
// reply has closed the device and raised DataSourceException 1 when it returns.
class DataSource {
public:
    explicit DataSource(link::UsbConnection& connection) : connection_(connection) {}

    link::UsbConnection& connection() { return connection_; }

    // Text reply up to and including its ";".
    std::string RequestText(Serial serial, std::string_view command);

    // A block whose header repeats the command with ";" turned into ",", read with
    // "?" as stop byte, then a 16-bit little-endian length and the payload.
    BlockReply RequestBlock(Serial serial, std::string_view command);

    // A block whose ten leading bytes (header and length) are read whole, no stop byte.
    Bytes RequestFixedHeaderBlock(Serial serial, std::string_view command);

    // A reply of a fixed size, optionally ended early by a stop byte.
    Bytes RequestBytes(Serial serial, std::string_view command, std::uint32_t count,
                       std::optional<std::uint8_t> stopByte);
    // The same into `reply`, whose memory is used again.
    void RequestBytes(Serial serial, std::string_view command, std::uint32_t count,
                      std::optional<std::uint8_t> stopByte, Bytes& reply);

    // ";#0,<code>;" with the code as one raw byte; nothing is read.
    void SendKey(std::uint8_t keyCode, Serial serial);

    // True when a reply carries the not-supported marker: "?" at index 3.
    static bool IsNotSupported(const Bytes& reply);

    [[noreturn]] void Malformed(Serial serial) { connection_.CloseDevice(serial); }

private:
    void send(Serial serial, std::string_view command);
    Bytes read(Serial serial, std::uint32_t count, std::optional<std::uint8_t> stopByte);
    void read(Serial serial, std::uint32_t count, std::optional<std::uint8_t> stopByte, Bytes& out);
    std::uint32_t readLength(Serial serial);

    link::UsbConnection& connection_;
};

// The header a block reply to `command` starts with: the command with its final ";"
// replaced by ",".
std::string BlockHeader(std::string_view command);

} // namespace ombrix::session
