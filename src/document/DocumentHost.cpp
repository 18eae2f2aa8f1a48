#include "document/DocumentHost.h"

#include "link/ProbeReport.h"

#include <QFileInfo>
#include <algorithm>

namespace ombrix::document {

DocumentHost::DocumentHost(link::UsbConnection& connection, COmbrixDoc::Options options,
                           QObject* parent)
    : QObject(parent) {
    COmbrixDoc::Hooks& hooks = options.hooks;
    hooks.frameReady = [this] { postFrame(); };
    hooks.modelLoaded = [this] {
        emit modelLoaded();
        updateStatusText();
    };
    // Every tick also takes the status: a model that failed to load says so.
    hooks.updateViews = [this] {
        updateStatusText();
        emit viewsUpdateRequested();
    };
    hooks.linkStateChanged = [this] {
        QMetaObject::invokeMethod(
            this, [this] { onLinkStateChanged(); }, Qt::QueuedConnection);
    };
    hooks.keyDone = [this](std::uint32_t code, KeyOutcome outcome) {
        if (outcome != KeyOutcome::Sent) {
            QMetaObject::invokeMethod(
                this, [this, code] { emit keyNotSent(code); }, Qt::QueuedConnection);
        }
    };
    doc_ = std::make_unique<COmbrixDoc>(connection, std::move(options));
    updateStatusText();
}

DocumentHost::~DocumentHost() {
    doc_.reset();
}

bool DocumentHost::HasModel() const {
    return !Model().hardwareName.isEmpty();
}

QString DocumentHost::ModelFileName() const {
    return QFileInfo(doc_->LoadedModelPath()).fileName();
}

document::AspectSource DocumentHost::AspectSource() const {
    const model::InstrumentModel& model = Model();
    document::AspectSource source{std::nullopt, model.displayWidth, model.displayHeight,
                                  model.iconsPanelHeight};
    if (HasModel() && !PanelPicture().IsEmpty()) {
        source.picture = QSize(PanelPicture().Width(), PanelPicture().Height());
    }
    return source;
}

bool DocumentHost::StoreKey(std::uint32_t keyCode) {
    if (!doc_->StoreKey(keyCode)) {
        return false;
    }
    emit keyStored(keyCode);
    return true;
}

// Runs on the worker thread. One queued call at a time: the call takes whatever
// frame is newest when it runs, so frames never pile up in the event queue.
void DocumentHost::postFrame() {
    if (framePosted_.exchange(true)) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            framePosted_.store(false);
            emit frameChanged();
        },
        Qt::QueuedConnection);
}

// A new connection opens its model at once rather than on the next timer tick,
// so the first frame is not kept waiting for up to a tick.
// A connection to another instrument than the one before is announced, so the
// history of the keys pressed never mixes two instruments silently.
void DocumentHost::onLinkStateChanged() {
    if (doc_->GetLinkState() == LinkState::Connected) {
        const std::optional<session::ModelSelection> selection = doc_->SyncInfo().selection();
        if (selection && connectedSerial_ && selection->serial != *connectedSerial_) {
            emit instrumentChanged(selection->serial, ModelFileOf(selection));
        }
        if (selection) {
            connectedSerial_ = selection->serial;
        }
        if (doc_->ViewsEnabled()) {
            doc_->CheckModelChange();
        }
    }
    updateStatusText();
}

void DocumentHost::updateStatusText() {
    QString text = SessionStatusText(
        doc_->GetLinkState(), ModelFileOf(doc_->SyncInfo().selection()), doc_->LoadError());
    // While searching, the device that was found but cannot be used says why.
    if (doc_->GetLinkState() == LinkState::Searching && doc_->LoadError().isEmpty()) {
        text = SearchProblemText(doc_->LastProbes()).value_or(text);
    }
    if (text != statusText_) {
        statusText_ = text;
        emit statusTextChanged(statusText_);
    }
}

QString ModelFileOf(const std::optional<session::ModelSelection>& selection) {
    return selection
               ? QFileInfo(QString::fromStdU16String(selection->modelPath.u16string())).fileName()
               : QString();
}

std::optional<QString> SearchProblemText(const std::vector<link::DeviceProbe>& probes) {
    const auto problem = std::find_if(probes.begin(), probes.end(), [](const auto& probe) {
        return !link::ProbeReason(probe).empty();
    });
    if (problem == probes.end()) {
        return std::nullopt;
    }
    const bool denied = problem->failure == link::OpenFailure::PermissionDenied;
    return QString::fromStdString(link::ProbeProblem({*problem})) +
           (denied ? QObject::tr("; View > Instruments... shows how to give access") : QString());
}

// The instrument's number stands beside this text: it is not said twice.
QString SessionStatusText(LinkState state, const QString& modelFile, const QString& loadError) {
    if (!loadError.isEmpty()) {
        return QObject::tr("Cannot open the model: %1").arg(loadError);
    }
    switch (state) {
    case LinkState::Searching:
        break;
    case LinkState::Connected:
        return QObject::tr("Connected (%1)").arg(modelFile);
    case LinkState::Lost:
        return QObject::tr("Instrument lost: showing its last screen, waiting for it");
    }
    return QObject::tr("Looking for an instrument");
}

} // namespace ombrix::document
