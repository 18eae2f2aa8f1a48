#include "document/SessionWorker.h"

#include "document/DataSetProxy.h"
#include "link/LinkErrors.h"
#include "session/Identification.h"

namespace ombrix::document {

namespace {

// Until the user interface opens the model of a new selection, the loaded
// geometry is the old model's: a screen read by it would have the wrong size and
// use up the instrument's new-screen flag, so the new model would get no frame
// until the screen changed. Without a geometry no screen is read, as before the
// first model was loaded. The old screen's bytes go too: drawn in the new
// instrument's format they would be noise. The last frame stays on show.
void forgetLoadedGeometry(DocumentDataSet& dataSet) {
    const DataSetProxy loaded(dataSet);
    loaded->geometry = {};
    loaded->screenBytes.clear();
}

} // namespace

SessionWorker::SessionWorker(session::DataSource& source, SessionRecords records, Options options)
    : source_(source), records_(records), options_(std::move(options)) {}

void SessionWorker::Run(std::stop_token stop) {
    while (!stop.stop_requested()) {
        source_.connection().clock().sleepFor(NextPause());
        if (stop.stop_requested()) {
            break;
        }
        RunPass();
    }
}

std::chrono::milliseconds SessionWorker::NextPause() const {
    const bool awaitingKeysScreen =
        keySentAt_ && link::elapsedSince(*keySentAt_, source_.connection().clock().ticks()) <
                          static_cast<link::Ticks>(kFastKeyResponse.count());
    return awaitingKeysScreen ? session::kCommandPause : kPassPause;
}

SessionWorker::Pass SessionWorker::RunPass() {
    const std::uint32_t refreshRequests = records_.sync.refreshRequests();
    const std::optional<link::Serial> serial = records_.sync.selectedSerial();
    if (!records_.sync.shouldPoll()) {
        // Without polling (compact mode) a key still gets a pass of its own.
        const bool connected = serial && !linkBroken_;
        return connected ? sendPendingKey(*serial).value_or(Pass::Idle) : Pass::Idle;
    }
    if (!serial || linkBroken_) {
        return connect();
    }
    if (const std::optional<Pass> sent = sendPendingKey(*serial)) {
        return *sent;
    }
    try {
        if (firstPass_) {
            readIdentityAndFormat(*serial);
            firstPass_ = false;
        }
        readStatusAndScreen(*serial);
        update_.mask |= DataSetUpdate::kIconState;
    } catch (const link::DataSourceException&) {
        linkFailed();
    }
    return finishPoll(!linkBroken_, refreshRequests);
}

SessionWorker::Pass SessionWorker::connect() {
    firstPass_ = true;
    connection_.store(0);
    std::optional<link::Serial> preferred = records_.sync.selectedSerial();
    if (!preferred) {
        preferred = options_.preferredSerial;
    }
    try {
        session::ModelSelection selection = session::ConnectInstrument(
            source_, preferred, options_.programDirectory, connectChoice());
        keepProbes();
        // Before the selection is stored: the user interface may load the new
        // model as soon as it is, and its geometry must stay.
        if (selection != records_.sync.selection()) {
            forgetLoadedGeometry(records_.dataSet);
        }
        records_.sync.storeSelection(std::move(selection));
        linkBroken_ = false;
        lostAt_.reset();
        // A code pressed before this connection was never meant for it.
        records_.keys.clear();
        connection_.store(++connections_);
        setLinkState(LinkState::Connected);
        return Pass::Connected;
    } catch (const link::DataSourceException&) {
        keepProbes();
        linkBroken_ = true;
        if (linkState() == LinkState::Connected) {
            linkFailed();
        }
        failedConnections_.fetch_add(1);
        return Pass::ConnectFailed;
    }
}

// A lost instrument is waited for before another one is taken in its place.
session::Choice SessionWorker::connectChoice() const {
    const bool waitingForLost =
        lostAt_ && link::elapsedSince(*lostAt_, source_.connection().clock().ticks()) <
                       static_cast<link::Ticks>(kLostInstrumentWait.count());
    return options_.onlyPreferred || waitingForLost ? session::Choice::OnlyPreferred
                                                    : session::Choice::PreferredOrLowest;
}

// A code pressed for an earlier connection is dropped, and the pass goes on.
std::optional<SessionWorker::Pass> SessionWorker::sendPendingKey(link::Serial serial) {
    const PendingKey key = records_.keys.take();
    if (key.code == 0) {
        return std::nullopt;
    }
    if (key.connection != connection_.load()) {
        keyDone(key.code, KeyOutcome::Dropped);
        return std::nullopt;
    }
    try {
        source_.SendKey(static_cast<std::uint8_t>(key.code), serial);
        if (options_.fastKeyResponse) {
            keySentAt_ = source_.connection().clock().ticks();
        }
        keyDone(key.code, KeyOutcome::Sent);
        return Pass::KeySent;
    } catch (const link::DataSourceException&) {
        linkFailed();
        keyDone(key.code, KeyOutcome::Failed);
        return Pass::KeyFailed;
    }
}

void SessionWorker::keyDone(std::uint32_t code, KeyOutcome outcome) {
    (outcome == KeyOutcome::Sent ? sentKeys_ : failedKeys_).fetch_add(1);
    if (options_.hooks.keyDone) {
        options_.hooks.keyDone(code, outcome);
    }
}

void SessionWorker::readIdentityAndFormat(link::Serial serial) {
    session::CheckIdentification(source_, update_.identification, serial);
    update_.mask |= DataSetUpdate::kIdentification;
    session::QueryScreenParameters(source_, update_.displayParameters, serial);
    session::BuildPalette(source_, update_.displayParameters, update_.palette, serial);
    update_.mask |= DataSetUpdate::kDisplayParameters | DataSetUpdate::kPalette;
}

void SessionWorker::readStatusAndScreen(link::Serial serial) {
    session::QueryStatus(source_, update_.iconState, update_.displayParameters, serial);
    if (update_.iconState.StatusWord & session::kStatusNewScreen) {
        keySentAt_.reset();
        // The geometry comes from the data set, where the model loader sets it
        // together with the screen image; before a model is loaded it is empty
        // and no screen is asked for.
        const render::ScreenGeometry geometry = loadedGeometry();
        const std::uint32_t byteCount = session::ScreenByteCount(
            geometry.displayWidth, geometry.displayHeight, update_.displayParameters.bitsPerPixel);
        if (byteCount != 0) {
            session::ReadScreen(source_, update_.screenBytes, byteCount, serial);
            update_.screenGeometry = geometry;
            update_.freshScreen = true;
        }
    }
}

render::ScreenGeometry SessionWorker::loadedGeometry() const {
    const ReadOnlyDataSetProxy dataSet(records_.dataSet);
    return dataSet->geometry;
}

SessionWorker::Pass SessionWorker::finishPoll(bool succeeded, std::uint32_t refreshRequests) {
    if (!succeeded) {
        return Pass::PollFailed;
    }
    const bool published = mergeAndPublish();
    // After the frame is published: a screenshot waiting for this poll takes it.
    records_.sync.clearRefreshRequested(refreshRequests);
    if (published && options_.hooks.frameReady) {
        options_.hooks.frameReady();
    }
    return Pass::Polled;
}

// Published under the data-set lock, so a model load (which takes the same lock)
// can never be followed by a frame of the old model's screen.
bool SessionWorker::mergeAndPublish() {
    const DataSetProxy dataSet(records_.dataSet);
    return MergeUpdate(update_, *dataSet) && PublishFrame(*dataSet, records_.frames);
}

// A code still waiting was pressed for the instrument just lost: it goes,
// never to be delivered to whatever connects next.
void SessionWorker::linkFailed() {
    linkBroken_ = true;
    keySentAt_.reset();
    connection_.store(0);
    records_.keys.clear();
    if (!lostAt_) {
        lostAt_ = source_.connection().clock().ticks();
    }
    setLinkState(LinkState::Lost);
}

void SessionWorker::keepProbes() {
    const std::lock_guard lock(probesMutex_);
    probes_ = source_.connection().LastProbes();
}

std::vector<link::DeviceProbe> SessionWorker::lastProbes() const {
    const std::lock_guard lock(probesMutex_);
    return probes_;
}

void SessionWorker::setLinkState(LinkState state) {
    if (linkState_.exchange(state) != state && options_.hooks.linkStateChanged) {
        options_.hooks.linkStateChanged();
    }
}

} // namespace ombrix::document
