#include "session/DataSource.h"

#include <algorithm>

namespace ombrix::session {

namespace {

constexpr std::uint8_t kNotSupportedMark = '?';
constexpr std::size_t kMarkerIndex = 3;
constexpr std::size_t kFixedHeaderSize = kBlockHeaderSize + 2;

std::uint32_t littleEndian16(std::uint8_t low, std::uint8_t high) {
    return static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 8);
}

bool startsWith(const Bytes& bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

} // namespace

std::string BlockHeader(std::string_view command) {
    std::string header(command);
    if (!header.empty() && header.back() == ';') {
        header.back() = ',';
    }
    return header;
}

bool DataSource::IsNotSupported(const Bytes& reply) {
    return reply.size() > kMarkerIndex && reply[kMarkerIndex] == kNotSupportedMark;
}

void DataSource::send(Serial serial, std::string_view command) {
    connection_.WriteCommand(serial, command);
    connection_.clock().sleepFor(kCommandPause);
}

Bytes DataSource::read(Serial serial, std::uint32_t count, std::optional<std::uint8_t> stopByte) {
    Bytes out;
    read(serial, count, stopByte, out);
    return out;
}

void DataSource::read(Serial serial, std::uint32_t count, std::optional<std::uint8_t> stopByte,
                      Bytes& out) {
    out.clear();
    connection_.ReadExact(serial, count, stopByte, out);
}

std::uint32_t DataSource::readLength(Serial serial) {
    const Bytes length = read(serial, 2, std::nullopt);
    return littleEndian16(length[0], length[1]);
}

std::string DataSource::RequestText(Serial serial, std::string_view command) {
    send(serial, command);
    std::string reply;
    connection_.ReadUntil(serial, reply);
    return reply;
}

BlockReply DataSource::RequestBlock(Serial serial, std::string_view command) {
    send(serial, command);
    const Bytes header = read(serial, kBlockHeaderSize, kNotSupportedMark);
    if (IsNotSupported(header)) {
        return {true, {}};
    }
    // A header cut short by a "?" before index 3, or one that does not repeat the
    // command, is malformed; so is anything after a "?" inside the eight bytes.
    if (header.size() != kBlockHeaderSize || !startsWith(header, BlockHeader(command))) {
        Malformed(serial);
    }
    const std::uint32_t length = readLength(serial);
    return {false, read(serial, length, std::nullopt)};
}

Bytes DataSource::RequestFixedHeaderBlock(Serial serial, std::string_view command) {
    send(serial, command);
    const Bytes header = read(serial, kFixedHeaderSize, std::nullopt);
    if (!startsWith(header, BlockHeader(command))) {
        Malformed(serial);
    }
    const std::uint32_t length = littleEndian16(header[8], header[9]);
    return read(serial, length, std::nullopt);
}

Bytes DataSource::RequestBytes(Serial serial, std::string_view command, std::uint32_t count,
                               std::optional<std::uint8_t> stopByte) {
    Bytes reply;
    RequestBytes(serial, command, count, stopByte, reply);
    return reply;
}

void DataSource::RequestBytes(Serial serial, std::string_view command, std::uint32_t count,
                              std::optional<std::uint8_t> stopByte, Bytes& reply) {
    send(serial, command);
    read(serial, count, stopByte, reply);
}

void DataSource::SendKey(std::uint8_t keyCode, Serial serial) {
    std::string command = ";#0,";
    command.push_back(static_cast<char>(keyCode));
    command.push_back(';');
    connection_.WriteCommand(serial, command);
}

} // namespace ombrix::session
