#include "app/COmbrixApp.h"

#include "link/LibusbBackend.h"
#include "link/SocketBackend.h"
#include "screenshot/ComposeScreenshot.h"
#include "settings/DefaultFolder.h"
#include "shell/CMainFrame.h"
#include "shell/Monitors.h"
#include "shell/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <iostream>
#include <stdexcept>

namespace ombrix::app {

namespace {

constexpr int kMinimumZoom = 1;
constexpr int kMaximumZoom = 4;

settings::SettingsStore storeFor(const std::optional<QString>& settingsFile) {
    return settingsFile ? settings::SettingsStore(*settingsFile) : settings::SettingsStore();
}

} // namespace

// Until the settings are loaded, USB goes by the environment's pairs alone.
COmbrixApp::COmbrixApp(Options options)
    : options_(std::move(options)), claims_(link::ClaimsDirectory()),
      connection_(backend_, clock_, &claims_), store_(storeFor(options_.settingsFile)) {
    backend_.add(std::make_unique<link::SocketBackend>(options_.deviceDirectory));
    auto usb = std::make_unique<link::LibusbBackend>(options_.usbIds);
    usb_ = usb.get();
    backend_.add(std::move(usb));
}

COmbrixApp::~COmbrixApp() = default;

bool COmbrixApp::InitInstance(const std::optional<QString>& documentName, QString& error) {
    loadSettings();
    document::COmbrixDoc::Options documentOptions;
    documentOptions.programDirectory = options_.programDirectory;
    documentOptions.fastKeyResponse = profile_.fastKeyResponse != 0;
    documentOptions.hooks.saveScreenshot = [this](const document::Frame& frame,
                                                  const document::ScreenshotRequest& request) {
        return saveScreenshot(frame, request);
    };
    document_ = std::make_unique<document::DocumentHost>(connection_, std::move(documentOptions));
    try {
        frame_ = std::make_unique<shell::CMainFrame>(*this, *document_);
    } catch (const std::runtime_error& failure) {
        error = QString::fromStdString(failure.what());
        return false;
    }
    if (documentName && !document_->OpenDocument(*documentName)) {
        error = document_->LoadError();
        return false;
    }
    frame_->ShowInitially();
    frame_->StartTimers(document::kRefreshTimerPeriod, document::kBlinkTimerPeriod);
    return true;
}

// Start-up steps 1 to 7: the default folders, which the store's values
// override; the tree under its root (the store of organisation "Velmora" and
// application "Ombrix", which is "Software\Velmora\Ombrix" on Windows); the
// window rectangle brought back onto a monitor; the "Global" values, where
// "RefreshRate" is read but the refresh period stays 150 ms.
void COmbrixApp::loadSettings() {
    settings::ScreenshotSettings screenshot = settings_.Screenshot();
    screenshot.SetFolder(settings::DefaultFolder());
    settings_.SetScreenshot(screenshot);
    settings::CommandsToolbarSettings commands = settings_.CommandsToolbar();
    commands.SetFolder(settings::DefaultFolder());
    settings_.SetCommandsToolbar(commands);

    store_.LoadSettings(settings_);
    // Only a stored rectangle is placed: without one the window sizes itself.
    settings::MainFrameSettings frame = settings_.MainFrame();
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (frame.HasWindowRect()) {
        frame.SetWindowRect(shell::PlaceOnMonitors(frame.WindowRect(), shell::MonitorRects(),
                                                   primary ? primary->geometry() : QRect()));
    }
    settings_.SetMainFrame(frame);

    store_.LoadProfile(profile_);
    SetScreenshotZoom(profile_.screenshotZoom);
    loadUsbIds();
}

// A malformed entry is named once, here, and left out.
void COmbrixApp::loadUsbIds() {
    const settings::ConnectionSettings connection = store_.LoadConnection(settings_.SettingsPath());
    chosenUsbIds_ = link::UsbIdsFromText(connection.usbIds.toStdString(), "the usb_ids setting",
                                         "ombrix", std::cerr);
    applyUsbIds();
}

void COmbrixApp::applyUsbIds() {
    usb_->setIds(link::MergeUsbIds(chosenUsbIds_, options_.usbIds));
}

// The stored list is read again first, so a pair ombrix-cli added meanwhile
// stays.
bool COmbrixApp::ChooseUsbId(const link::UsbId& id, bool chosen) {
    settings::ConnectionSettings connection = store_.LoadConnection(settings_.SettingsPath());
    std::vector<link::UsbId> ids = link::ParseUsbIds(connection.usbIds.toStdString()).ids;
    std::erase(ids, id);
    if (chosen) {
        ids.push_back(id);
    }
    chosenUsbIds_ = ids;
    applyUsbIds();
    connection.usbIds = QString::fromStdString(link::FormatUsbIds(ids));
    return store_.StoreConnection(settings_.SettingsPath(), connection);
}

int COmbrixApp::saveScreenshot(const document::Frame& frame,
                               const document::ScreenshotRequest& request) {
    const screenshot::ScreenshotOutcome outcome = screenshot::SaveScreenshot(
        screenshot::ComposeScreenshot(frame.shown()), request.settings, request.zoom);
    // The receiver outlives the document's threads: a call still queued when
    // it goes is dropped, never run on a half-destroyed application.
    QMetaObject::invokeMethod(
        &screenshotReceiver_, [this, outcome] { screenshotSaved(outcome); }, Qt::QueuedConnection);
    return outcome.written ? 1 : 0;
}

// Only the counter moves, and only when nobody changed it since the screenshot
// started (a "Reset counter" meanwhile stays).
void COmbrixApp::screenshotSaved(const screenshot::ScreenshotOutcome& outcome) {
    settings::ScreenshotSettings screenshots = settings_.Screenshot();
    if (outcome.nextCounter && screenshots.Counter() == outcome.counter) {
        screenshots.SetCounter(*outcome.nextCounter);
        settings_.SetScreenshot(screenshots);
    }
    if (outcome.written) {
        lastSavedImage_ = outcome.path;
    }
    if (frame_) {
        frame_->ScreenshotSaved(outcome);
    }
}

// A screenshot finishing as the program ends still moves the counter on.
void COmbrixApp::ExitInstance() {
    if (document_) {
        document_->StopThreads();
        QCoreApplication::sendPostedEvents(&screenshotReceiver_);
    }
    store_.StoreSettings(settings_);
}

// A stored zoom no menu item has is taken as 1.
void COmbrixApp::SetScreenshotZoom(int zoom) {
    screenshotZoom_ = zoom >= kMinimumZoom && zoom <= kMaximumZoom ? zoom : kMinimumZoom;
}

std::optional<base::DisplayColors> COmbrixApp::ModelColors(const QString& modelFile) const {
    return store_.LoadModelColors(settings_.SettingsPath(), modelFile);
}

bool COmbrixApp::RememberModelColors(const QString& modelFile, const base::DisplayColors& colours) {
    return store_.StoreModelColors(settings_.SettingsPath(), modelFile, colours);
}

bool COmbrixApp::ForgetModelColors(const QString& modelFile) {
    return store_.ForgetModelColors(settings_.SettingsPath(), modelFile);
}

void COmbrixApp::StoreGlobalProfile() {
    profile_.screenshotZoom = screenshotZoom_;
    // "RefreshRate" holds the refresh timer's period, whatever it said at start-up.
    profile_.refreshRate = static_cast<std::int32_t>(document::kRefreshTimerPeriod.count());
    store_.StoreProfile(profile_);
}

} // namespace ombrix::app
