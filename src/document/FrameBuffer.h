#pragma once

#include "document/Frame.h"

#include <memory>
#include <mutex>

namespace ombrix::document {

// Keeps only the newest frame. Readers take a shared pointer to it and hold it
// as long as they like: publishing a new frame never waits for them.
class FrameBuffer {
public:
    // A frame to fill for the next publish. It is one published before that no
    // reader holds any more, when there is one, so its images' memory is used
    // again rather than allocated and faulted in for every frame.
    Frame recycled();
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
    std::shared_ptr<Frame> latest_;
    // Never handed out: a retired frame whose memory the next frame takes.
    std::unique_ptr<Frame> spare_;
    std::uint64_t generation_ = 0;
};

} // namespace ombrix::document
