#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace ombrix::document {

// How long whoever hands over a key code waits for it to go out before giving up.
inline constexpr std::chrono::milliseconds kKeySendTimeout{10000};

// The next key code for the instrument: one slot, not a queue, so a key clicked
// twice between two worker passes is sent once, as the later code.
class DataToSend {
public:
    // Replaces a code that has not been sent yet; 0 is never stored.
    void store(std::uint32_t keyCode);
    // The code, or 0 when nothing waits; the slot is empty afterwards.
    std::uint32_t take();
    // Whether a code waits for the worker.
    bool pending() const;

private:
    mutable std::mutex criticalSection_;
    std::uint32_t keyCode_ = 0;
};

} // namespace ombrix::document
