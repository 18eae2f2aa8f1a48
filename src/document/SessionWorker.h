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
// How long after a key code the status is asked for at the pace of commands
// rather than of passes, unless the screen changed before: a key's screen then
// shows without a whole pass's wait.
inline constexpr std::chrono::milliseconds kFastKeyResponse{300};
// How long the session waits for a lost instrument to come back before it
// takes another one: a replug must not switch instruments behind the user.
inline constexpr std::chrono::milliseconds kLostInstrumentWait{10000};

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

// What became of a key code the worker took.
enum class KeyOutcome {
    Sent,
    Failed,  // the instrument did not take it: the link broke
    Dropped, // pressed for a connection that is gone
};

// The only user of the device link: connects, identifies, polls the screen and
// sends keys, one step per pass, and merges what it read into the data set.
class SessionWorker {
public:
    enum class Pass { Idle, Connected, ConnectFailed, KeySent, KeyFailed, Polled, PollFailed };

    // Hooks, never called with the data set locked.
    struct Hooks {
        // Once for every frame published.
        std::function<void()> frameReady;
        // The link state changed.
        std::function<void()> linkStateChanged;
        // A key code was taken from the mailbox and sent, failed or dropped.
        std::function<void(std::uint32_t code, KeyOutcome outcome)> keyDone;
    };

    struct Options {
        std::filesystem::path programDirectory;
        // The instrument to ask for while no selection is stored.
        std::optional<link::Serial> preferredSerial;
        // Whether only the preferred instrument may be connected, never another
        // one in its place.
        bool onlyPreferred = false;
        Hooks hooks;
        // After a key code, poll at the pace of commands until the screen
        // changes or kFastKeyResponse has passed; off: every pause a pass pause.
        bool fastKeyResponse = true;
    };

    SessionWorker(session::DataSource& source, SessionRecords records, Options options);

    // Passes, each after NextPause, until `stop` is requested.
    void Run(std::stop_token stop);
    // One pass without the pause.
    Pass RunPass();
    // The pause before the next pass: a pass pause, or a command pause while
    // the screen a key changed is awaited.
    std::chrono::milliseconds NextPause() const;

    // Connection attempts that found no instrument or could not identify one.
    std::uint32_t failedConnections() const { return failedConnections_.load(); }
    // Key codes handed to the instrument, and those that never reached it
    // (the send failed, or they were pressed for a connection now gone).
    std::uint32_t sentKeys() const { return sentKeys_.load(); }
    std::uint32_t failedKeys() const { return failedKeys_.load(); }
    LinkState linkState() const { return linkState_.load(); }
    // The connection now in use, a number no other connection of this worker
    // has had; 0 while none is.
    std::uint64_t connection() const { return connection_.load(); }
    // What the last connection attempt found at every device path.
    std::vector<link::DeviceProbe> lastProbes() const;

private:
    Pass connect();
    session::Choice connectChoice() const;
    std::optional<Pass> sendPendingKey(link::Serial serial);
    void keyDone(std::uint32_t code, KeyOutcome outcome);
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
    std::uint64_t connections_ = 0;
    // When the connected instrument was lost; none once one is connected.
    std::optional<link::Ticks> lostAt_;
    // When the last key code went out, while its screen is awaited.
    std::optional<link::Ticks> keySentAt_;
    std::atomic<std::uint32_t> failedConnections_{0};
    std::atomic<std::uint32_t> sentKeys_{0};
    std::atomic<std::uint32_t> failedKeys_{0};
    std::atomic<LinkState> linkState_{LinkState::Searching};
    std::atomic<std::uint64_t> connection_{0};
    mutable std::mutex probesMutex_;
    std::vector<link::DeviceProbe> probes_;
};

} // namespace ombrix::document
