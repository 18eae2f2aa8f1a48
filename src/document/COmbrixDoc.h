#pragma once

#include "document/DataSetProxy.h"
#include "document/DataToSend.h"
#include "document/DocumentDataSet.h"
#include "document/Event.h"
#include "document/FrameBuffer.h"
#include "document/ScreenshotWorker.h"
#include "document/SessionWorker.h"
#include "document/ThreadsSyncInfo.h"
#include "model/ModelFile.h"
#include "render/CLumImage.h"
#include "session/DataSource.h"

#include <QString>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <thread>

namespace ombrix::document {

// Longest wait for a thread to end when the document stops its threads.
inline constexpr std::chrono::milliseconds kThreadStopTimeout{4000};
// Longest wait for a running screenshot to give up before a new one starts.
inline constexpr std::chrono::milliseconds kScreenshotCancelTimeout{500};
// The display mode in which the worker polls only on request.
inline constexpr std::uint32_t kCompactDisplayMode = 3;

// The main window's two timers that drive the document through OnTimer.
enum class DocumentTimer : int {
    Refresh = 1, // opens the model the worker found and updates the views
    Blink = 2,   // also turns the blink phase of blinking icons over
};
inline constexpr std::chrono::milliseconds kRefreshTimerPeriod{150};
inline constexpr std::chrono::milliseconds kBlinkTimerPeriod{500};

// The document: the loaded instrument model and the live session with the
// instrument. It owns the session worker (started on construction), the
// screenshot worker and the records they share with the user-interface thread.
// Every operation except the hooks' callers runs on the user-interface thread.
class COmbrixDoc {
public:
    // Hooks are never called with the data set locked.
    struct Hooks {
        // A new frame was published: on the worker thread after a poll, or on
        // the calling thread after a colour change (with the data set locked
        // only when that caller holds a proxy of its own).
        std::function<void()> frameReady;
        // Called after a model was loaded, before the icon images are.
        std::function<void()> modelLoaded;
        // Called on every timer tick while views are enabled.
        std::function<void()> updateViews;
        // The worker's link state changed; on the worker thread.
        std::function<void()> linkStateChanged;
        // A stored key code was sent, failed or dropped; on the worker thread.
        std::function<void(std::uint32_t code, KeyOutcome outcome)> keyDone;
        ScreenshotSaver saveScreenshot;
    };

    struct Options {
        std::filesystem::path programDirectory;
        std::optional<link::Serial> preferredSerial;
        // Connect only the preferred instrument, never another in its place.
        bool onlyPreferred = false;
        Hooks hooks;
        // After a key, the status is asked for at the pace of commands until
        // its screen shows (see SessionWorker).
        bool fastKeyResponse = true;
    };

    COmbrixDoc(link::UsbConnection& connection, Options options);
    COmbrixDoc(const COmbrixDoc&) = delete;
    COmbrixDoc& operator=(const COmbrixDoc&) = delete;
    ~COmbrixDoc();

    // Hands the code to the worker for the instrument connected now; false,
    // and nothing is stored, while none is: the code would otherwise reach
    // whatever instrument connects later.
    bool StoreKey(std::uint32_t keyCode);
    // Whether a key pressed now can reach an instrument.
    bool CanSendKeys() const { return worker_.connection() != 0; }
    std::shared_ptr<DataSetProxy> GetDataSet();
    std::shared_ptr<ReadOnlyDataSetProxy> GetDataSetReadOnly() const;
    void UpdatePollingMode(std::uint32_t displayMode);
    // A recording needs frames in every display mode: while kept, the worker
    // polls in compact mode too.
    void KeepPolling(bool keep);
    void OnTimer(DocumentTimer timer);
    bool CheckModelChange();
    bool OpenDocument(const QString& name);
    QString GetSerialText() const;
    base::DisplayColors GetColours() const;
    // Sets the colours in effect, recolours the icon strips (when the model
    // has an icon panel) and shows the screen in them at once.
    void SetColours(const base::DisplayColors& colours);
    // The latest frame; null until the loaded model's first screen was read.
    std::shared_ptr<const Frame> LatestFrame() const { return frames_.latest(); }
    bool StartScreenshot(const ScreenshotRequest& request);
    void StopThreads();

    const model::ModelFile& Model() const { return model_; }
    // The file Model() was loaded from; empty before the first load. After a
    // failed load it is still the model before, whatever the selection says.
    const QString& LoadedModelPath() const { return loadedModelPath_; }
    model::ModelFile& Model() { return model_; }
    const render::CLumImage& PanelPicture() const { return panelPicture_; }
    // The keyboard bar's image strip of the loaded model, under the program
    // directory; empty when the model names none or it does not exist.
    QString KeyboardBarPicturePath() const;
    bool ViewsEnabled() const { return viewsEnabled_; }
    bool BlinkPhase() const { return blinkPhase_; }
    // Why the last model load failed; empty after a successful one.
    const QString& LoadError() const { return loadError_; }
    const ThreadsSyncInfo& SyncInfo() const { return sync_; }
    std::uint32_t FailedConnections() const { return worker_.failedConnections(); }
    std::uint32_t SentKeys() const { return worker_.sentKeys(); }
    // Whether a stored key code still waits for the worker to take it.
    bool KeyPending() const { return keys_.pending(); }
    std::uint32_t FailedKeys() const { return worker_.failedKeys(); }
    LinkState GetLinkState() const { return worker_.linkState(); }
    // What the session's last search found at every device path.
    std::vector<link::DeviceProbe> LastProbes() const { return worker_.lastProbes(); }
    std::optional<int> ScreenshotResult() const;

private:
    bool loadModel(const std::filesystem::path& path);
    void prepareScreen();
    void restoreScreenGeometry();
    // The icon strips and empty panels in `colours`; the blink panel's slot empty.
    render::IconImages loadIconImages(const base::DisplayColors& colours) const;
    bool redrawAndPublish(DocumentDataSet& dataSet);
    void notifyFrame(bool published) const;
    void stopScreenshot();

    link::UsbConnection& connection_;
    QString programDirectory_;
    session::DataSource source_;
    Hooks hooks_;
    ThreadsSyncInfo sync_;
    DataToSend keys_;
    DocumentDataSet dataSet_;
    FrameBuffer frames_;
    model::ModelFile model_;
    QString loadedModelPath_;
    render::CLumImage panelPicture_;
    QString loadError_;
    std::uint32_t displayMode_ = 0;
    bool keepPolling_ = false;
    bool viewsEnabled_ = true;
    bool blinkPhase_ = false;
    std::stop_source stop_;
    Event screenshotCancel_;
    std::unique_ptr<ScreenshotWorker> screenshot_;
    SessionWorker worker_;
    Event workerFinished_;
    std::jthread workerThread_;
};

} // namespace ombrix::document
