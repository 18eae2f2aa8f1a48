#include "shell/ViewCommands.h"

#include "shell/CAboutDlg.h"
#include "shell/CCursorSettingsDlg.h"
#include "shell/CInstrumentsDlg.h"
#include "shell/COmbrixView.h"
#include "shell/CSetupDialog.h"
#include "shell/DocumentTimers.h"
#include "shell/StatusMessages.h"

#include <QStatusBar>
#include <QWidget>
#include <QWindow>

namespace ombrix::shell {

ViewCommands::ViewCommands(Parts parts)
    : parts_(std::move(parts)), colors_(parts_.document, parts_.application) {
    CommandTable& commands = parts_.commands;
    commands.OnTriggered(CommandId::CursorSettings, [this] { showCursorSettings(); });
    commands.OnTriggered(CommandId::Colors, [this] { showColors(); });
    commands.OnTriggered(CommandId::SharpPixels, [this] { toggleSharpPixels(); });
    commands.OnTriggered(CommandId::AlwaysOnTop, [this] { toggleAlwaysOnTop(); });
    commands.OnTriggered(CommandId::Instruments, [this] { ShowInstruments(); });
    commands.OnTriggered(CommandId::About, [this] { showAbout(); });
    connect(&parts_.view, &COmbrixView::instrumentsRequested, this, &ViewCommands::ShowInstruments);
}

void ViewCommands::ModelLoaded() {
    colors_.ModelLoaded();
}

void ViewCommands::showAbout() {
    CAboutDlg about(&parts_.window);
    parts_.timers.RunPaused([&about] { return about.exec(); });
}

void ViewCommands::ShowInstruments() {
    if (!instruments_) {
        instruments_ = new CInstrumentsDlg(parts_.application, parts_.document, &parts_.window);
        instruments_->setAttribute(Qt::WA_DeleteOnClose);
    }
    instruments_->show();
    instruments_->raise();
    instruments_->activateWindow();
}

void ViewCommands::showCursorSettings() {
    CCursorSettingsDlg dialog(parts_.application.Settings().Cursor(), &parts_.window);
    if (dialog.exec() == QDialog::Accepted) {
        parts_.application.Settings().SetCursor(dialog.Settings());
    }
}

// The screen's new colours show at once, not only with the next frame.
// A model loaded while the dialog was open (an instrument swapped) has its
// own colours: the dialog's were meant for the one before.
void ViewCommands::showColors() {
    const QString modelFile = colors_.ModelFile();
    CSetupDialog dialog(colors_.Defaults(), &parts_.window);
    dialog.SetColors(colors_.Current());
    if (parts_.timers.RunPaused([&dialog] { return dialog.exec(); }) != QDialog::Accepted ||
        !dialog.Changed() || colors_.ModelFile() != modelFile) {
        return;
    }
    if (!colors_.Apply(dialog.Colors(), modelFile, dialog.DefaultsChosen())) {
        parts_.status.showMessage(
            tr("The colours are shown but could not be remembered for this model."), kMessageMs);
    }
}

void ViewCommands::toggleSharpPixels() {
    settings::ViewSettings view = parts_.application.Settings().View();
    view.SetSharpPixels(!view.SharpPixels());
    parts_.application.Settings().SetView(view);
    parts_.view.ScalingChanged();
    emit changed();
}

void ViewCommands::toggleAlwaysOnTop() {
    settings::MainFrameSettings frame = parts_.application.Settings().MainFrame();
    frame.SetAlwaysOnTop(!frame.AlwaysOnTop());
    parts_.application.Settings().SetMainFrame(frame);
    ApplyAlwaysOnTop();
    emit changed();
}

// The widget's flags without re-creating the window (setWindowFlag would hide
// it), then the platform window's, which tell the window manager at once.
void ViewCommands::ApplyAlwaysOnTop() {
    QWidget& window = parts_.window;
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint,
                  parts_.application.Settings().MainFrame().AlwaysOnTop());
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle()) {
        handle->setFlags(flags);
    }
}

} // namespace ombrix::shell
