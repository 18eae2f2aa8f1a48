#include "document/FrameBuffer.h"

namespace ombrix::document {

bool FrameBuffer::publish(Frame frame) {
    // Compared outside the lock: only the publisher replaces the frame, and
    // readers must never wait for a comparison of whole images.
    const std::shared_ptr<const Frame> previous = latest();
    if (previous && previous->showsSameAs(frame)) {
        return false;
    }
    std::lock_guard lock(mutex_);
    frame.generation = ++generation_;
    latest_ = std::make_shared<const Frame>(std::move(frame));
    return true;
}

std::shared_ptr<const Frame> FrameBuffer::latest() const {
    std::lock_guard lock(mutex_);
    return latest_;
}

void FrameBuffer::clear() {
    std::lock_guard lock(mutex_);
    latest_.reset();
}

} // namespace ombrix::document
