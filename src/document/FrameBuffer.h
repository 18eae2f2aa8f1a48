#pragma once

#include "document/Frame.h"

#include <memory>
#include <mutex>

namespace ombrix::document {

// Keeps only the newest frame. Readers take a shared pointer to it and hold it
// as long as they like: publishing a new frame never waits for them.
class FrameBuffer {
public:
    // Publishes `frame` under the next generation, unless it shows the same as
    // the latest frame; true when it did. One publisher at a time.
    bool publish(Frame frame);
    // The latest frame; null before the first one and after clear().
    std::shared_ptr<const Frame> latest() const;
    // Forgets the latest frame, so a new model's screen starts without the old
    // one's picture. Generations go on counting.
    void clear();

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const Frame> latest_;
    std::uint64_t generation_ = 0;
};

} // namespace ombrix::document
