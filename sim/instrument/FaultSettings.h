#pragma once

#include "protocol/Command.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>

namespace ombrix::sim {

// The faults injected into one instrument. All off by default.
struct FaultSettings {
    // Identification requests are answered with bytes that are no identification.
    bool garbageIdentification = false;
    // The instrument stops answering and ignores its keys.
    bool stalled = false;
    // Requests answered with the not-supported marker although the model knows them.
    std::set<CommandKind> unsupported;
    // Replies to these requests stop after the given number of bytes.
    std::map<CommandKind, std::size_t> cutAfter;
    // Every reply byte is sent alone, this long after the previous one; 0: off.
    std::chrono::milliseconds trickleGap{0};
    // Bytes per second the link carries at most; 0: unlimited.
    std::uint64_t byteRate = 0;
};

} // namespace ombrix::sim
