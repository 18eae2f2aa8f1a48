#include "shell/ScreenshotCommands.h"

#include "screenshot/ComposeScreenshot.h"
#include "shell/CScreenshotSettingsDlg.h"
#include "shell/MainCommands.h"
#include "shell/StatusMessages.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QStatusBar>
#include <QWidget>

namespace ombrix::shell {

ScreenshotCommands::ScreenshotCommands(CommandTable& commands, ApplicationServices& application,
                                       document::DocumentHost& document, QWidget& window,
                                       QStatusBar& status)
    : application_(application), document_(document), window_(window), status_(status) {
    commands.OnTriggered(CommandId::ScreenshotSave, [this] { save(); });
    commands.OnTriggered(CommandId::ScreenshotCopy, [this] { copy(); });
    commands.OnTriggered(CommandId::ScreenshotSettings, [this] { showSettings(); });
    for (std::size_t i = 0; i < kZoomCommands.size(); ++i) {
        commands.OnTriggered(kZoomCommands[i], [this, i] { setZoom(static_cast<int>(i) + 1); });
    }
}

// The file is written once the instrument's screen has been read afresh; the
// status bar says so meanwhile, and then what became of it.
void ScreenshotCommands::save() {
    const document::ScreenshotRequest request{application_.Settings().Screenshot(),
                                              application_.ScreenshotZoom()};
    if (document_.StartScreenshot(request)) {
        // Not for ever: without an instrument no screen comes to be saved.
        status_.showMessage(tr("Saving the screenshot\u2026"), kMessageMs);
    } else {
        status_.showMessage(tr("The screenshot before is still being saved."), kMessageMs);
    }
}

void ScreenshotCommands::Saved(const screenshot::ScreenshotOutcome& outcome) {
    status_.showMessage(ScreenshotOutcomeText(outcome), kMessageMs);
}

// What F8 would save, from the frame on show, straight to the clipboard.
void ScreenshotCommands::copy() {
    const std::shared_ptr<const document::Frame> frame = document_.frame();
    if (!frame) {
        status_.showMessage(tr("There is no instrument screen to copy yet."), kMessageMs);
        return;
    }
    QGuiApplication::clipboard()->setImage(screenshot::Zoomed(
        screenshot::ComposeScreenshot(frame->shown()), application_.ScreenshotZoom()));
    status_.showMessage(tr("Screenshot copied to the clipboard"), kMessageMs);
}

void ScreenshotCommands::showSettings() {
    const settings::ScreenshotSettings opened = application_.Settings().Screenshot();
    CScreenshotSettingsDlg dialog(opened, &window_);
    if (dialog.exec() == QDialog::Accepted) {
        application_.Settings().SetScreenshot(MergeScreenshotSettings(
            opened, dialog.Settings(), application_.Settings().Screenshot().Counter()));
    }
}

void ScreenshotCommands::setZoom(int zoom) {
    application_.SetScreenshotZoom(zoom);
    emit zoomChanged();
}

QString ScreenshotOutcomeText(const screenshot::ScreenshotOutcome& outcome) {
    const QString path = QDir::toNativeSeparators(outcome.path);
    if (outcome.written) {
        return QObject::tr("Screenshot saved to %1").arg(path);
    }
    if (path.isEmpty()) {
        return QObject::tr("The screenshot was not saved: %1.").arg(outcome.error);
    }
    return QObject::tr("The screenshot could not be saved to %1: %2.").arg(path, outcome.error);
}

settings::ScreenshotSettings MergeScreenshotSettings(const settings::ScreenshotSettings& opened,
                                                     settings::ScreenshotSettings chosen,
                                                     std::uint32_t counterNow) {
    if (chosen.Counter() == opened.Counter()) {
        chosen.SetCounter(counterNow);
    }
    return chosen;
}

} // namespace ombrix::shell
