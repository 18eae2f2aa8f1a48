#include "document/FrameBuffer.h"

namespace ombrix::document {

Frame FrameBuffer::recycled() {
    std::lock_guard lock(mutex_);
    if (!spare_) {
        return {};
    }
    Frame frame = std::move(*spare_);
    spare_.reset();
    return frame;
}

namespace {

bool showsTheSame(const std::shared_ptr<const Frame>& latest, const Frame& frame) {
    return latest && latest->showsSameAs(frame);
}

} // namespace

bool FrameBuffer::publish(Frame frame) {
    // Compared outside the lock: only the publisher replaces the frame, and
    // readers must never wait for a comparison of whole images.
    if (showsTheSame(latest(), frame)) {
        std::lock_guard lock(mutex_);
        spare_ = std::make_unique<Frame>(std::move(frame));
        return false;
    }
    std::lock_guard lock(mutex_);
    frame.generation = ++generation_;
    std::shared_ptr<Frame> retired =
        std::exchange(latest_, std::make_shared<Frame>(std::move(frame)));
    // Only this buffer still holds it, and latest() can no longer hand it out.
    if (retired && retired.use_count() == 1) {
        spare_ = std::make_unique<Frame>(std::move(*retired));
    }
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
