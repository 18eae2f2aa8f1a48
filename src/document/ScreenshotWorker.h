#pragma once

#include "document/Event.h"
#include "document/FrameBuffer.h"
#include "document/ScreenshotRequest.h"
#include "document/ThreadsSyncInfo.h"

#include <atomic>
#include <functional>
#include <optional>
#include <stop_token>
#include <thread>

namespace ombrix::document {

// Frames the screen and writes it as a file; returns the save result. Called on
// the screenshot's thread with no lock held.
using ScreenshotSaver = std::function<int(const Frame& frame, const ScreenshotRequest& request)>;

// One screenshot on its own thread: asks the session worker for a fresh poll,
// waits for it, then saves the latest frame.
class ScreenshotWorker {
public:
    static constexpr int kNoScreenshot = -1;

    struct Context {
        ThreadsSyncInfo& sync;
        const FrameBuffer& frames;
        link::Clock& clock;
        std::stop_token stop;
        const Event& cancel;
        ScreenshotSaver saver;
        ScreenshotRequest request;
    };

    explicit ScreenshotWorker(Context context);
    ScreenshotWorker(const ScreenshotWorker&) = delete;
    ScreenshotWorker& operator=(const ScreenshotWorker&) = delete;
    // Waits for the thread to end.
    ~ScreenshotWorker() = default;

    bool finished() const { return finished_.isSet(); }
    bool waitFinished(std::chrono::milliseconds timeout) const;
    // The save result, or kNoScreenshot when it was cancelled or found no screen;
    // none while the thread runs.
    std::optional<int> result() const;

private:
    int run();
    bool waitForFreshPoll();

    Context context_;
    std::atomic<int> result_{kNoScreenshot};
    Event finished_;
    std::jthread thread_;
};

} // namespace ombrix::document
