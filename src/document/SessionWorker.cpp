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
// first model was loaded.
void forgetLoadedGeometry(DocumentDataSet& dataSet) {
    const DataSetProxy loaded(dataSet);
    loaded->geometry = {};
}

} // namespace

SessionWorker::SessionWorker(session::DataSource& source, SessionRecords records, Options options)
    : source_(source), records_(records), options_(std::move(options)) {}

void SessionWorker::Run(std::stop_token stop) {
    while (!stop.stop_requested()) {
        source_.connection().clock().sleepFor(kPassPause);
        if (stop.stop_requested()) {
            break;
        }
        RunPass();
    }
}

SessionWorker::Pass SessionWorker::RunPass() {
    const std::uint32_t refreshRequests = records_.sync.refreshRequests();
    if (!records_.sync.shouldPoll()) {
        return Pass::Idle;
    }
    const std::optional<link::Serial> serial = records_.sync.selectedSerial();
    if (!serial || linkBroken_) {
        return connect();
    }
    if (const std::uint32_t keyCode = records_.keys.take(); keyCode != 0) {
        return sendKey(*serial, keyCode);
    }
    try {
        if (firstPass_) {
            readIdentityAndFormat(*serial);
            firstPass_ = false;
        }
        readStatusAndScreen(*serial);
        update_.mask |= DataSetUpdate::kIconState;
    } catch (const link::DataSourceException&) {
        linkBroken_ = true;
    }
    return finishPoll(!linkBroken_, refreshRequests);
}

SessionWorker::Pass SessionWorker::connect() {
    firstPass_ = true;
    std::optional<link::Serial> preferred = records_.sync.selectedSerial();
    if (!preferred) {
        preferred = options_.preferredSerial;
    }
    try {
        session::ModelSelection selection =
            session::ConnectInstrument(source_, preferred, options_.programDirectory);
        // Before the selection is stored: the user interface may load the new
        // model as soon as it is, and its geometry must stay.
        if (selection != records_.sync.selection()) {
            forgetLoadedGeometry(records_.dataSet);
        }
        records_.sync.storeSelection(std::move(selection));
        linkBroken_ = false;
        return Pass::Connected;
    } catch (const link::DataSourceException&) {
        linkBroken_ = true;
        failedConnections_.fetch_add(1);
        return Pass::ConnectFailed;
    }
}

SessionWorker::Pass SessionWorker::sendKey(link::Serial serial, std::uint32_t keyCode) {
    try {
        source_.SendKey(static_cast<std::uint8_t>(keyCode), serial);
        sentKeys_.fetch_add(1);
        return Pass::KeySent;
    } catch (const link::DataSourceException&) {
        linkBroken_ = true;
        failedKeys_.fetch_add(1);
        return Pass::KeyFailed;
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
    update_.mask |= DataSetUpdate::kScreenBytes;
}

render::ScreenGeometry SessionWorker::loadedGeometry() const {
    const ReadOnlyDataSetProxy dataSet(records_.dataSet);
    return dataSet->geometry;
}

SessionWorker::Pass SessionWorker::finishPoll(bool succeeded, std::uint32_t refreshRequests) {
    if (succeeded) {
        {
            const DataSetProxy dataSet(records_.dataSet);
            MergeUpdate(update_, *dataSet);
        }
        records_.sync.clearRefreshRequested(refreshRequests);
    }
    if (options_.frameReady) {
        options_.frameReady();
    }
    return succeeded ? Pass::Polled : Pass::PollFailed;
}

} // namespace ombrix::document
