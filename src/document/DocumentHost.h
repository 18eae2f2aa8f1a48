#pragma once

#include "document/AspectSource.h"
#include "document/COmbrixDoc.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace ombrix::document {

// The document as the window sees it, and its only door to it: owns the
// COmbrixDoc and turns its hooks, some of which run on the worker thread, into
// signals on the thread this object lives in. The shell connects to these
// signals and never to a worker thread.
class DocumentHost : public QObject {
    Q_OBJECT

public:
    // `options.hooks` may carry the screenshot saver; the other hooks are this
    // object's.
    DocumentHost(link::UsbConnection& connection, COmbrixDoc::Options options,
                 QObject* parent = nullptr);
    ~DocumentHost() override;

    // Opens the model path `*` serial names (the command line's document).
    bool OpenDocument(const QString& name) { return doc_->OpenDocument(name); }
    // Why the last model load failed; empty after a successful one.
    const QString& LoadError() const { return doc_->LoadError(); }
    void StopThreads() { doc_->StopThreads(); }

    // The loaded model: its description, keys and front-panel picture.
    bool HasModel() const;
    const model::InstrumentModel& Model() const { return doc_->Model().model(); }
    const model::KeyboardLayout& KeyboardLayout() const { return doc_->Model().layout(); }
    const render::CLumImage& PanelPicture() const { return doc_->PanelPicture(); }
    // The file name of the loaded model's description; empty before the first.
    QString ModelFileName() const;
    // The keyboard bar's image strip of the loaded model; empty for none.
    QString KeyboardBarPicturePath() const { return doc_->KeyboardBarPicturePath(); }
    // What the view's shape depends on; no picture while no model is loaded.
    document::AspectSource AspectSource() const;

    // The selected instrument's serial number as text; empty for none.
    QString Serial() const { return doc_->GetSerialText(); }
    LinkState GetLinkState() const { return doc_->GetLinkState(); }
    // What the session is doing, in plain words for the status bar.
    const QString& StatusText() const { return statusText_; }
    // What the last search found at every device path.
    std::vector<link::DeviceProbe> LastProbes() const { return doc_->LastProbes(); }

    // The newest published screen frame; null until one was read.
    std::shared_ptr<const Frame> frame() const { return doc_->LatestFrame(); }
    bool BlinkPhase() const { return doc_->BlinkPhase(); }
    // The main window's timer ticks.
    void OnTimer(DocumentTimer timer) { doc_->OnTimer(timer); }
    void UpdatePollingMode(std::uint32_t displayMode) { doc_->UpdatePollingMode(displayMode); }
    // Polls whatever the display mode (a recording needs its frames).
    void KeepPolling(bool keep) { doc_->KeepPolling(keep); }
    bool StartScreenshot(const ScreenshotRequest& request) {
        return doc_->StartScreenshot(request);
    }

    // The colours in effect, and the loaded model's own.
    base::DisplayColors Colours() const { return doc_->GetColours(); }
    base::DisplayColors ModelColours() const { return Model().colors; }
    void SetColours(const base::DisplayColors& colours) { doc_->SetColours(colours); }

    // Hands a key code to the worker, which sends it on its next pass to the
    // instrument connected now; false, and nothing is sent, while none is.
    bool StoreKey(std::uint32_t keyCode);
    // Whether a key pressed now can reach an instrument.
    bool CanSendKeys() const { return doc_->CanSendKeys(); }
    // Codes sent, codes that never reached the instrument, and whether one
    // still waits for the worker.
    std::uint32_t SentKeys() const { return doc_->SentKeys(); }
    std::uint32_t FailedKeys() const { return doc_->FailedKeys(); }
    bool KeyPending() const { return doc_->KeyPending(); }

signals:
    // A new frame was published. Several frames published before the first
    // signal was delivered give one signal: only the newest frame counts.
    void frameChanged();
    void modelLoaded();
    // The document's timer tick asks the views to update.
    void viewsUpdateRequested();
    void statusTextChanged(const QString& text);
    // A key code was handed to the worker.
    void keyStored(std::uint32_t keyCode);
    // A key code handed to the worker never reached the instrument: the link
    // broke before or while it was sent.
    void keyNotSent(std::uint32_t keyCode);
    // Another instrument than the one connected before is connected now.
    void instrumentChanged(std::uint32_t serial, const QString& modelFile);

private:
    void postFrame();
    void onLinkStateChanged();
    void updateStatusText();

    QString statusText_;
    std::atomic<bool> framePosted_{false};
    std::optional<link::Serial> connectedSerial_;
    // Last: its threads end before anything they call back into goes.
    std::unique_ptr<COmbrixDoc> doc_;
};

// The file name of a selection's model file; empty for none.
QString ModelFileOf(const std::optional<session::ModelSelection>& selection);

// What the status says while searching when a device was found but cannot be
// used: the first such device and why; none when every device was fine.
std::optional<QString> SearchProblemText(const std::vector<link::DeviceProbe>& probes);

// The status text for a link state, the loaded model file and the last load
// error; the instrument's number is the status bar's other pane.
QString SessionStatusText(LinkState state, const QString& modelFile, const QString& loadError);

} // namespace ombrix::document
