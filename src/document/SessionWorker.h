#pragma once

#include "document/DataSetUpdate.h"
#include "document/DataToSend.h"
#include "document/DocumentDataSet.h"
#include "document/ThreadsSyncInfo.h"
#include "session/DataSource.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>

namespace ombrix::document {

// Pause at the start of every pass of the session worker.
inline constexpr std::chrono::milliseconds kPassPause{50};

// What the shared records and the session worker work with.
struct SessionRecords {
    ThreadsSyncInfo& sync;
    DataToSend& keys;
    DocumentDataSet& dataSet;
};

// The only user of the device link: connects, identifies, polls the screen and
// sends keys, one step per pass, and merges what it read into the data set.
class SessionWorker {
public:
    enum class Pass { Idle, Connected, ConnectFailed, KeySent, KeyFailed, Polled, PollFailed };

    struct Options {
        std::filesystem::path programDirectory;
        // The instrument to ask for while no selection is stored.
        std::optional<link::Serial> preferredSerial;
        // Told after every poll, also a failed one, never with the data set locked.
        std::function<void()> frameReady;
    };

    SessionWorker(session::DataSource& source, SessionRecords records, Options options);

    // Passes with the 50 ms pause until `stop` is requested.
    void Run(std::stop_token stop);
    // One pass without the pause.
    Pass RunPass();

    // Connection attempts that found no instrument or could not identify one.
    std::uint32_t failedConnections() const { return failedConnections_.load(); }
    // Key codes handed to the instrument, and those whose sending failed.
    std::uint32_t sentKeys() const { return sentKeys_.load(); }
    std::uint32_t failedKeys() const { return failedKeys_.load(); }

private:
    Pass connect();
    Pass sendKey(link::Serial serial, std::uint32_t keyCode);
    void readIdentityAndFormat(link::Serial serial);
    void readStatusAndScreen(link::Serial serial);
    render::ScreenGeometry loadedGeometry() const;
    Pass finishPoll(bool succeeded, std::uint32_t refreshRequests);

    session::DataSource& source_;
    SessionRecords records_;
    Options options_;
    DataSetUpdate update_;
    bool firstPass_ = true;
    bool linkBroken_ = false;
    std::atomic<std::uint32_t> failedConnections_{0};
    std::atomic<std::uint32_t> sentKeys_{0};
    std::atomic<std::uint32_t> failedKeys_{0};
};

} // namespace ombrix::document
