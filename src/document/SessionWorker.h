#pragma once

#include "document/DataSetUpdate.h"
#include "document/DataToSend.h"
#include "document/DocumentDataSet.h"
#include "document/FrameBuffer.h"
#include "document/ThreadsSyncInfo.h"
#include "session/DataSource.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

namespace ombrix::document {

// Pause at the start of every pass of the session worker.
inline constexpr std::chrono::milliseconds kPassPause{50};

// What the shared records and the session worker work with.
struct SessionRecords {
    ThreadsSyncInfo& sync;
    DataToSend& keys;
    DocumentDataSet& dataSet;
    FrameBuffer& frames;
};

// What the link to the instrument is doing, as the user is told.
enum class LinkState {
    Searching, // no instrument connected yet
    Connected, // polling an instrument
    Lost,      // the instrument stopped answering or went away; reconnecting
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
        // Whether only the preferred instrument may be connected, never another
        // one in its place.
        bool onlyPreferred = false;
        // Told once for every frame published, never with the data set locked.
        std::function<void()> frameReady;
        // Told when the link state changed, never with the data set locked.
        std::function<void()> linkStateChanged;
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
    LinkState linkState() const { return linkState_.load(); }
    // What the last connection attempt found at every device path.
    std::vector<link::DeviceProbe> lastProbes() const;

private:
    Pass connect();
    Pass sendKey(link::Serial serial, std::uint32_t keyCode);
    void readIdentityAndFormat(link::Serial serial);
    void readStatusAndScreen(link::Serial serial);
    render::ScreenGeometry loadedGeometry() const;
    Pass finishPoll(bool succeeded, std::uint32_t refreshRequests);
    bool mergeAndPublish();
    void setLinkState(LinkState state);
    void linkFailed();
    void keepProbes();

    session::DataSource& source_;
    SessionRecords records_;
    Options options_;
    DataSetUpdate update_;
    bool firstPass_ = true;
    bool linkBroken_ = false;
    std::atomic<std::uint32_t> failedConnections_{0};
    std::atomic<std::uint32_t> sentKeys_{0};
    std::atomic<std::uint32_t> failedKeys_{0};
    std::atomic<LinkState> linkState_{LinkState::Searching};
    mutable std::mutex probesMutex_;
    std::vector<link::DeviceProbe> probes_;
};

} // namespace ombrix::document
