#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace ombrix::document {

// How long whoever hands over a key code waits for it to go out before giving up.
inline constexpr std::chrono::milliseconds kKeySendTimeout{10000};

// A key code and the connection it was pressed for.
struct PendingKey {
    std::uint32_t code = 0; // 0: nothing waits
    std::uint64_t connection = 0;
};

// The next key code for the instrument: one slot, not a queue, so a key clicked
// twice between two worker passes is sent once, as the later code. Each code
// carries the connection it was pressed for, so it never reaches an instrument
// connected after it was pressed.
class DataToSend {
public:
    // Replaces a code that has not been sent yet; 0 is never stored.
    void store(std::uint32_t keyCode, std::uint64_t connection);
    // The code waiting, or code 0; the slot is empty afterwards.
    PendingKey take();
    // Whether a code waits for the worker.
    bool pending() const;
    // Drops a code that waits.
    void clear();

private:
    mutable std::mutex criticalSection_;
    PendingKey key_;
};

} // namespace ombrix::document
