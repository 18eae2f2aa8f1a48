#pragma once

#include "protocol/Command.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ombrix::sim {

// Cuts the byte stream from the host into commands. Bytes may arrive in any
// pieces: a command split across reads waits for its rest, several commands in
// one read all come out. Bytes that cannot start a known command are dropped one
// at a time, so the parser finds the next command after any garbage.
class CommandParser {
public:
    // Takes the bytes that arrived and returns the commands completed by them.
    std::vector<Command> feed(std::span<const std::uint8_t> bytes);

    // Bytes held as the possible start of a command; never more than the longest one.
    std::size_t pendingBytes() const { return pending_.size(); }

private:
    std::vector<std::uint8_t> pending_;
};

} // namespace ombrix::sim
