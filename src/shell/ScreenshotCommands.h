#pragma once

#include "document/DocumentHost.h"
#include "screenshot/SaveScreenshot.h"
#include "settings/ScreenshotSettings.h"
#include "shell/ApplicationServices.h"
#include "shell/CommandTable.h"

#include <QObject>
#include <QString>

class QStatusBar;
class QWidget;

namespace ombrix::shell {

// The Screenshot menu's commands: Save (F8), Copy (Ctrl+C), the zooms and
// Settings..., and the status-bar words about what became of each.
class ScreenshotCommands : public QObject {
    Q_OBJECT

public:
    // Runs the commands of `commands`; `window` owns the settings dialog.
    ScreenshotCommands(CommandTable& commands, ApplicationServices& application,
                       document::DocumentHost& document, QWidget& window, QStatusBar& status);

    // Says in the status bar what became of a screenshot.
    void Saved(const screenshot::ScreenshotOutcome& outcome);

signals:
    void zoomChanged();

private:
    void save();
    void copy();
    void showSettings();
    void setZoom(int zoom);

    ApplicationServices& application_;
    document::DocumentHost& document_;
    QWidget& window_;
    QStatusBar& status_;
};

// What became of a screenshot, in words for the status bar.
QString ScreenshotOutcomeText(const screenshot::ScreenshotOutcome& outcome);

// What the screenshot settings dialog leaves: the settings chosen, with the
// counter as it is now (`counterNow`) unless the dialog reset it: a screenshot
// saved while it was open has moved it on since it was `opened`.
settings::ScreenshotSettings MergeScreenshotSettings(const settings::ScreenshotSettings& opened,
                                                     settings::ScreenshotSettings chosen,
                                                     std::uint32_t counterNow);

} // namespace ombrix::shell
