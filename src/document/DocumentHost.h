#pragma once

#include "document/COmbrixDoc.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace ombrix::document {

// The document as the window sees it: owns the COmbrixDoc and turns its hooks,
// some of which run on the worker thread, into signals on the thread this object
// lives in. The shell connects to these signals and never to a worker thread.
class DocumentHost : public QObject {
    Q_OBJECT

public:
    // `options.hooks` may carry the screenshot saver; the other hooks are this
    // object's.
    DocumentHost(link::UsbConnection& connection, COmbrixDoc::Options options,
                 QObject* parent = nullptr);
    ~DocumentHost() override;

    COmbrixDoc& doc() { return *doc_; }
    const COmbrixDoc& doc() const { return *doc_; }
    std::shared_ptr<const Frame> frame() const { return doc_->LatestFrame(); }
    // What the session is doing, in plain words for the status bar.
    const QString& statusText() const { return statusText_; }
    // Hands a key code to the worker, which sends it on its next pass to the
    // instrument connected now; false, and nothing is sent, while none is.
    bool StoreKey(std::uint32_t keyCode);
    // Whether a key pressed now can reach an instrument.
    bool CanSendKeys() const { return doc_->CanSendKeys(); }

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
QString ModelFileName(const std::optional<session::ModelSelection>& selection);

// What the status says while searching when a device was found but cannot be
// used: the first such device and why; none when every device was fine.
std::optional<QString> SearchProblemText(const std::vector<link::DeviceProbe>& probes);

// The status text for a link state, the loaded model file and the last load
// error; the instrument's number is the status bar's other pane.
QString SessionStatusText(LinkState state, const QString& modelFile, const QString& loadError);

} // namespace ombrix::document
