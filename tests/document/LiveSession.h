#pragma once

#include "document/COmbrixDoc.h"
#include "link/Clock.h"
#include "link/SocketBackend.h"
#include "link/UsbConnection.h"
#include "render/CLumImage.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string_view>

namespace ombrix::document::testing {

// Far longer than anything the session needs, so a loaded machine does not fail
// a test; only a session that never gets there does.
inline constexpr std::chrono::milliseconds kPatience{20'000};

// Whether a wait ticks the document's timer, as the application does, or holds it.
enum class Timer { Tick, Hold };

// The application's document over a device directory on the real clock, driven
// from the test thread as the user-interface thread drives it.
class LiveSession {
public:
    explicit LiveSession(const std::filesystem::path& deviceDirectory,
                         COmbrixDoc::Hooks hooks = {});

    COmbrixDoc& document() { return *doc_; }

    // Polls `condition` until it holds; fails naming `what` after `patience`.
    ::testing::AssertionResult waitUntil(std::string_view what,
                                         const std::function<bool()>& condition,
                                         Timer timer = Timer::Tick,
                                         std::chrono::milliseconds patience = kPatience);
    // A model loaded and a frame published after generation `generationBefore`.
    ::testing::AssertionResult waitForFrame(std::uint64_t generationBefore = 0);

    bool modelLoaded() const;
    // The latest frame's generation; 0 before the first.
    std::uint64_t frameGeneration() const;
    // The latest frame's screen; empty before the first.
    render::CLumImage screen() const;
    // Destroys the document; how long its destructor took.
    std::chrono::milliseconds closeDocument();

private:
    link::SocketBackend backend_;
    link::SystemClock clock_;
    link::UsbConnection connection_;
    std::unique_ptr<COmbrixDoc> doc_;
};

} // namespace ombrix::document::testing
