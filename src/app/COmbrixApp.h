#pragma once

#include "document/DocumentHost.h"
#include "link/Clock.h"
#include "link/CombinedBackend.h"
#include "link/DeviceClaims.h"
#include "link/LibusbBackend.h"
#include "link/UsbConnection.h"
#include "link/UsbIdList.h"
#include "screenshot/SaveScreenshot.h"
#include "settings/ApplicationSettings.h"
#include "settings/GlobalProfile.h"
#include "settings/SettingsStore.h"
#include "shell/ApplicationServices.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace ombrix::shell {
class CMainFrame;
}

namespace ombrix::app {

// The application object: the device connection, the settings tree and the
// "Global" profile values for the whole run; the start-up that builds the
// document and the main window; the settings stored at exit. It lives on the
// QApplication's thread.
class COmbrixApp : public shell::ApplicationServices {
public:
    struct Options {
        // An INI file instead of the user's store (tests).
        std::optional<QString> settingsFile;
        std::filesystem::path deviceDirectory;
        // The pairs of $OMBRIX_USB_IDS: they add to those of the settings.
        std::vector<link::UsbId> usbIds;
        std::filesystem::path programDirectory;
    };

    explicit COmbrixApp(Options options);
    ~COmbrixApp() override;

    // The start-up. False, with the reason in `error` and no window shown, when
    // the document named on the command line cannot be opened.
    bool InitInstance(const std::optional<QString>& documentName, QString& error);
    // Stores the settings tree.
    void ExitInstance();

    settings::ApplicationSettings& Settings() override { return settings_; }
    int ScreenshotZoom() const override { return screenshotZoom_; }
    void SetScreenshotZoom(int zoom) override;
    void StoreGlobalProfile() override;
    const QString& LastSavedImage() const override { return lastSavedImage_; }
    std::optional<base::DisplayColors> ModelColors(const QString& modelFile) const override;
    bool RememberModelColors(const QString& modelFile, const base::DisplayColors& colours) override;
    bool ForgetModelColors(const QString& modelFile) override;
    std::vector<link::UsbId> ChosenUsbIds() const override { return chosenUsbIds_; }
    std::vector<link::UsbId> EnvironmentUsbIds() const override { return options_.usbIds; }
    bool ChooseUsbId(const link::UsbId& id, bool chosen) override;

    document::DocumentHost& Document() { return *document_; }
    shell::CMainFrame& MainFrame() { return *frame_; }
    const settings::GlobalProfile& Profile() const { return profile_; }

private:
    void loadSettings();
    void loadUsbIds();
    void applyUsbIds();
    // Runs on the screenshot's thread: writes the file, then hands what it did
    // to the user-interface thread.
    int saveScreenshot(const document::Frame& frame, const document::ScreenshotRequest& request);
    void screenshotSaved(const screenshot::ScreenshotOutcome& outcome);

    Options options_;
    link::CombinedBackend backend_;
    link::LibusbBackend* usb_ = nullptr; // one of backend_'s
    link::SystemClock clock_;
    link::DeviceClaims claims_;
    link::UsbConnection connection_;
    settings::SettingsStore store_;
    settings::ApplicationSettings settings_;
    settings::GlobalProfile profile_;
    int screenshotZoom_ = 1;
    std::vector<link::UsbId> chosenUsbIds_;
    QString lastSavedImage_;
    // Where the screenshot thread queues what it did; declared before the
    // document, so it is destroyed after the document's threads have ended.
    QObject screenshotReceiver_;
    // Destroyed in reverse: the window first, then the document and its threads,
    // then the connection.
    std::unique_ptr<document::DocumentHost> document_;
    std::unique_ptr<shell::CMainFrame> frame_;
};

} // namespace ombrix::app
