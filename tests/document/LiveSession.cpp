#include "LiveSession.h"

#include <string>
#include <thread>

namespace ombrix::document::testing {

LiveSession::LiveSession(const std::filesystem::path& deviceDirectory, COmbrixDoc::Hooks hooks)
    : backend_(deviceDirectory), connection_(backend_, clock_),
      doc_(std::make_unique<COmbrixDoc>(
          connection_,
          COmbrixDoc::Options{OMBRIX_SAMPLE_MODELS_DIR, std::nullopt, std::move(hooks)})) {}

::testing::AssertionResult LiveSession::waitUntil(std::string_view what,
                                                  const std::function<bool()>& condition,
                                                  Timer timer, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (true) {
        if (timer == Timer::Tick) {
            doc_->OnTimer(kRefreshTimer);
        }
        if (condition()) {
            return ::testing::AssertionSuccess();
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return ::testing::AssertionFailure()
                   << "waited " << patience.count() << " ms for " << what;
        }
        std::this_thread::sleep_for(kTimerPeriod);
    }
}

::testing::AssertionResult LiveSession::waitForFrame(std::uint64_t framesBefore) {
    return waitUntil("a model and a frame converted after frame " + std::to_string(framesBefore),
                     [&] { return modelLoaded() && framesConverted() > framesBefore; });
}

bool LiveSession::modelLoaded() const {
    return !doc_->Model().model().hardwareName.isEmpty();
}

std::uint64_t LiveSession::framesConverted() const {
    return (*doc_->GetDataSetReadOnly())->framesConverted;
}

render::CLumImage LiveSession::screen() const {
    return (*doc_->GetDataSetReadOnly())->screenImage;
}

std::chrono::milliseconds LiveSession::closeDocument() {
    const auto start = std::chrono::steady_clock::now();
    doc_.reset();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}

} // namespace ombrix::document::testing
