#include "document/ScreenshotWorker.h"

#include "document/SessionWorker.h"

namespace ombrix::document {

ScreenshotWorker::ScreenshotWorker(Context context)
    : context_(std::move(context)), thread_([this] {
          result_.store(run());
          finished_.set();
      }) {}

bool ScreenshotWorker::waitFinished(std::chrono::milliseconds timeout) const {
    return finished_.waitFor(context_.clock, timeout);
}

std::optional<int> ScreenshotWorker::result() const {
    if (!finished()) {
        return std::nullopt;
    }
    return result_.load();
}

int ScreenshotWorker::run() {
    if (!waitForFreshPoll()) {
        return kNoScreenshot;
    }
    const std::shared_ptr<const Frame> frame = context_.frames.latest();
    if (!frame || !context_.saver) {
        return kNoScreenshot;
    }
    return context_.saver(*frame, context_.request);
}

bool ScreenshotWorker::waitForFreshPoll() {
    context_.sync.requestRefresh();
    while (true) {
        if (context_.stop.stop_requested() || context_.cancel.isSet()) {
            return false;
        }
        if (!context_.sync.refreshRequested()) {
            return true;
        }
        context_.clock.sleepFor(kPassPause);
    }
}

} // namespace ombrix::document
