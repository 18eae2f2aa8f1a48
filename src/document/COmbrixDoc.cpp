#include "document/COmbrixDoc.h"

#include "base/FileLookup.h"
#include "document/DocumentName.h"
#include "model/ModelFileError.h"

namespace ombrix::document {

COmbrixDoc::COmbrixDoc(link::UsbConnection& connection, Options options)
    : connection_(connection),
      programDirectory_(QString::fromStdU16String(options.programDirectory.u16string())),
      source_(connection), hooks_(std::move(options.hooks)),
      worker_(source_, SessionRecords{sync_, keys_, dataSet_, frames_},
              SessionWorker::Options{
                  std::move(options.programDirectory), options.preferredSerial,
                  options.onlyPreferred,
                  SessionWorker::Hooks{hooks_.frameReady, hooks_.linkStateChanged, hooks_.keyDone},
                  options.fastKeyResponse}) {
    // A stop request also ends a reply the worker is waiting for.
    connection_.setInterruption(stop_.get_token());
    workerThread_ = std::jthread([this] {
        worker_.Run(stop_.get_token());
        workerFinished_.set();
    });
}

COmbrixDoc::~COmbrixDoc() {
    StopThreads();
}

bool COmbrixDoc::StoreKey(std::uint32_t keyCode) {
    const std::uint64_t connection = worker_.connection();
    if (connection == 0) {
        return false;
    }
    keys_.store(keyCode, connection);
    return true;
}

QString COmbrixDoc::KeyboardBarPicturePath() const {
    if (model_.layout().toolbarBitmap().isEmpty()) {
        return {};
    }
    return base::FindFile(programDirectory_, model_.layout().ToolbarBitmapPath());
}

std::shared_ptr<DataSetProxy> COmbrixDoc::GetDataSet() {
    return std::make_shared<DataSetProxy>(dataSet_);
}

std::shared_ptr<ReadOnlyDataSetProxy> COmbrixDoc::GetDataSetReadOnly() const {
    return std::make_shared<ReadOnlyDataSetProxy>(dataSet_);
}

void COmbrixDoc::UpdatePollingMode(std::uint32_t displayMode) {
    displayMode_ = displayMode;
    sync_.setPollingEnabled(displayMode != kCompactDisplayMode || keepPolling_);
}

void COmbrixDoc::KeepPolling(bool keep) {
    keepPolling_ = keep;
    UpdatePollingMode(displayMode_);
}

void COmbrixDoc::OnTimer(DocumentTimer timer) {
    if (!viewsEnabled_) {
        return;
    }
    CheckModelChange();
    if (timer == DocumentTimer::Blink) {
        blinkPhase_ = !blinkPhase_;
    }
    if (hooks_.updateViews) {
        hooks_.updateViews();
    }
}

bool COmbrixDoc::CheckModelChange() {
    const std::optional<session::ModelSelection> selection = sync_.selection();
    if (!sync_.modelChanged() || !selection) {
        return false;
    }
    return OpenDocument(DocumentName(*selection));
}

bool COmbrixDoc::OpenDocument(const QString& name) {
    viewsEnabled_ = false;
    UpdatePollingMode(displayMode_);
    const std::optional<session::ModelSelection> selection = SplitDocumentName(name);
    sync_.storeSelection(selection);
    if (!selection) {
        loadError_ = QStringLiteral("\"%1\" is not a model description path followed by \"*\" "
                                    "and a serial number.")
                         .arg(name);
    }
    const bool loaded = selection && loadModel(selection->modelPath);
    if (loaded) {
        // Loaded now: the next timer tick must not load it a second time.
        sync_.clearModelChanged(*selection);
    }
    if (loaded && hooks_.modelLoaded) {
        hooks_.modelLoaded();
    }
    viewsEnabled_ = true;
    return loaded;
}

bool COmbrixDoc::loadModel(const std::filesystem::path& path) {
    const QString file = QString::fromStdU16String(path.u16string());
    try {
        if (model_.load(file) == model::LoadOutcome::Loaded) {
            prepareScreen();
        } else {
            restoreScreenGeometry();
        }
    } catch (const model::ModelFileError& error) {
        loadError_ = error.message();
        return false;
    }
    loadError_.clear();
    loadedModelPath_ = file;
    return true;
}

// The pictures are read from their files first, so the worker does not wait
// for the disk; then they go in with the new screen in one locked step, so the
// worker never converts a frame into the new screen before its icons are there.
void COmbrixDoc::prepareScreen() {
    const model::InstrumentModel& model = model_.model();
    render::IconImages icons = loadIconImages(GetColours());
    icons[render::kBlinkPanelSlot].Load(model_.picturePath(model.iconClear));
    {
        const DataSetProxy dataSet(dataSet_);
        dataSet->geometry =
            render::ScreenGeometry{model.displayWidth, model.displayHeight, model.iconsPanelHeight};
        render::CreateScreenImage(dataSet->screenImage, dataSet->geometry);
        // The old model's screen is neither drawn into the new screen image nor
        // shown in the new front panel.
        dataSet->screenBytes.clear();
        frames_.clear();
        dataSet->iconImages = std::move(icons);
    }
    panelPicture_.Release();
    panelPicture_.Load(model_.picturePath(model.keyboardBitmap));
}

// A file without a front-panel picture keeps the model it was loaded over. The
// worker forgot that model's screen size when it connected the instrument the
// file was chosen for; without it again, no frame would come.
void COmbrixDoc::restoreScreenGeometry() {
    const model::InstrumentModel& model = model_.model();
    const DataSetProxy dataSet(dataSet_);
    if (!dataSet->screenImage.IsEmpty()) {
        dataSet->geometry =
            render::ScreenGeometry{model.displayWidth, model.displayHeight, model.iconsPanelHeight};
    }
}

render::IconImages COmbrixDoc::loadIconImages(const base::DisplayColors& colours) const {
    const model::InstrumentModel& model = model_.model();
    render::IconImages icons;
    if (model.iconsPanelHeight < 1) {
        return icons;
    }
    const render::IconPaths paths{
        model_.picturePath(model.iconBitmaps[0]), model_.picturePath(model.iconBitmaps[1]),
        model_.picturePath(model.iconBitmaps[2]), model_.picturePath(model.iconClear)};
    render::LoadIconImages(icons, paths, colours);
    return icons;
}

QString COmbrixDoc::GetSerialText() const {
    const std::optional<link::Serial> serial = sync_.selectedSerial();
    return serial ? QString::number(*serial) : QString();
}

base::DisplayColors COmbrixDoc::GetColours() const {
    const ReadOnlyDataSetProxy dataSet(dataSet_);
    return dataSet->colours;
}

// The icon strips are read outside the lock; colours, icons and the screen
// change in one locked step, so no frame has the new colours with old icons.
void COmbrixDoc::SetColours(const base::DisplayColors& colours) {
    render::IconImages icons = loadIconImages(colours);
    bool published = false;
    {
        const DataSetProxy dataSet(dataSet_);
        dataSet->colours = colours;
        // The blink panel is the frame's, drawn anew with every frame.
        icons[render::kBlinkPanelSlot] = std::move(dataSet->iconImages[render::kBlinkPanelSlot]);
        dataSet->iconImages = std::move(icons);
        published = redrawAndPublish(*dataSet);
    }
    notifyFrame(published);
}

bool COmbrixDoc::redrawAndPublish(DocumentDataSet& dataSet) {
    RedrawScreen(dataSet);
    return PublishFrame(dataSet, frames_);
}

// Called once the operation's own proxy is gone.
void COmbrixDoc::notifyFrame(bool published) const {
    if (published && hooks_.frameReady) {
        hooks_.frameReady();
    }
}

bool COmbrixDoc::StartScreenshot(const ScreenshotRequest& request) {
    if (screenshot_ && !screenshot_->finished()) {
        screenshotCancel_.set();
        if (!screenshot_->waitFinished(kScreenshotCancelTimeout)) {
            return false;
        }
    }
    // Also after a give-up, whose cancel request would otherwise end the new
    // screenshot at once.
    screenshotCancel_.reset();
    screenshot_.reset();
    screenshot_ = std::make_unique<ScreenshotWorker>(
        ScreenshotWorker::Context{sync_, frames_, connection_.clock(), stop_.get_token(),
                                  screenshotCancel_, hooks_.saveScreenshot, request});
    return true;
}

std::optional<int> COmbrixDoc::ScreenshotResult() const {
    return screenshot_ ? screenshot_->result() : std::nullopt;
}

void COmbrixDoc::StopThreads() {
    viewsEnabled_ = false;
    stop_.request_stop();
    // Both threads watch the stop request and the link gives up its waits on it,
    // so they end well within the bound; they are joined in any case, as no
    // thread may outlive the document.
    if (workerThread_.joinable()) {
        workerFinished_.waitFor(connection_.clock(), kThreadStopTimeout);
        workerThread_.join();
    }
    stopScreenshot();
    connection_.setInterruption({});
}

void COmbrixDoc::stopScreenshot() {
    if (screenshot_) {
        screenshot_->waitFinished(kThreadStopTimeout);
        screenshot_.reset();
    }
}

} // namespace ombrix::document
