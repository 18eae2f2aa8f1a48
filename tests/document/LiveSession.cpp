#include "LiveSession.h"

#include <string>
#include <thread>

namespace ombrix::document::testing {

LiveSession::LiveSession(const std::filesystem::path& deviceDirectory, COmbrixDoc::Hooks hooks)
    : backend_(deviceDirectory), connection_(backend_, clock_),
      doc_(std::make_unique<COmbrixDoc>(
          connection_,
          COmbrixDoc::Options{OMBRIX_SAMPLE_MODELS_DIR, std::nullopt, false, std::move(hooks)})) {}

::testing::AssertionResult LiveSession::waitUntil(std::string_view what,
                                                  const std::function<bool()>& condition,
                                                  Timer timer, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (true) {
        if (timer == Timer::Tick) {
            doc_->OnTimer(DocumentTimer::Refresh);
        }
        if (condition()) {
            return ::testing::AssertionSuccess();
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return ::testing::AssertionFailure()
                   << "waited " << patience.count() << " ms for " << what;
        }
        std::this_thread::sleep_for(kRefreshTimerPeriod);
    }
}

::testing::AssertionResult LiveSession::waitForFrame(std::uint64_t generationBefore) {
    return waitUntil("a model and a frame after frame " + std::to_string(generationBefore),
                     [&] { return modelLoaded() && frameGeneration() > generationBefore; });
}

bool LiveSession::modelLoaded() const {
    return !doc_->Model().model().hardwareName.isEmpty();
}

std::uint64_t LiveSession::frameGeneration() const {
    const std::shared_ptr<const Frame> frame = doc_->LatestFrame();
    return frame ? frame->generation : 0;
}

render::CLumImage LiveSession::screen() const {
    const std::shared_ptr<const Frame> frame = doc_->LatestFrame();
    return frame ? frame->screen : render::CLumImage();
}

std::chrono::milliseconds LiveSession::closeDocument() {
    const auto start = std::chrono::steady_clock::now();
    doc_.reset();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}

} // namespace ombrix::document::testing
