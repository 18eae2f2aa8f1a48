#pragma once

#include "document/DataSetProxy.h"
#include "document/DataToSend.h"
#include "document/DocumentDataSet.h"
#include "document/Event.h"
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

// The document: the loaded instrument model and the live session with the
// instrument. It owns the session worker (started on construction), the
// screenshot worker and the records they share with the user-interface thread.
// Every operation except the hooks' callers runs on the user-interface thread.
class COmbrixDoc {
public:
    struct Hooks {
        // Called on the worker thread after every poll; the data set is unlocked.
        std::function<void()> frameReady;
        // Called after a model was loaded, before the icon images are.
        std::function<void()> modelLoaded;
        // Called on every timer tick while views are enabled.
        std::function<void()> updateViews;
        ScreenshotSaver saveScreenshot;
    };

    struct Options {
        std::filesystem::path programDirectory;
        std::optional<link::Serial> preferredSerial;
        Hooks hooks;
    };

    COmbrixDoc(link::UsbConnection& connection, Options options);
    COmbrixDoc(const COmbrixDoc&) = delete;
    COmbrixDoc& operator=(const COmbrixDoc&) = delete;
    ~COmbrixDoc();

    void StoreKey(std::uint32_t keyCode);
    std::shared_ptr<DataSetProxy> GetDataSet();
    std::shared_ptr<ReadOnlyDataSetProxy> GetDataSetReadOnly() const;
    void UpdatePollingMode(std::uint32_t displayMode);
    void OnTimer(int timerId);
    bool CheckModelChange();
    bool OpenDocument(const QString& name);
    QString GetSerialText() const;
    render::DisplayColors GetColours() const;
    void SetColours(const render::DisplayColors& colours);
    // Loads the icon strips again in the colours in effect, when the model has
    // an icon panel.
    void ReloadIconImages();
    bool StartScreenshot(const settings::ScreenshotSettings& settings);
    void StopThreads();

    const model::ModelFile& Model() const { return model_; }
    model::ModelFile& Model() { return model_; }
    const render::CLumImage& PanelPicture() const { return panelPicture_; }
    bool ViewsEnabled() const { return viewsEnabled_; }
    bool BlinkPhase() const { return blinkPhase_; }
    // Why the last model load failed; empty after a successful one.
    const QString& LoadError() const { return loadError_; }
    const ThreadsSyncInfo& SyncInfo() const { return sync_; }
    std::uint32_t FailedConnections() const { return worker_.failedConnections(); }
    std::uint32_t SentKeys() const { return worker_.sentKeys(); }
    std::uint32_t FailedKeys() const { return worker_.failedKeys(); }
    std::optional<int> ScreenshotResult() const;

private:
    bool loadModel(const std::filesystem::path& path);
    void prepareScreen();
    void loadIconImages(DocumentDataSet& dataSet) const;
    void stopScreenshot();

    link::UsbConnection& connection_;
    session::DataSource source_;
    Hooks hooks_;
    ThreadsSyncInfo sync_;
    DataToSend keys_;
    DocumentDataSet dataSet_;
    model::ModelFile model_;
    render::CLumImage panelPicture_;
    QString loadError_;
    std::uint32_t displayMode_ = 0;
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
