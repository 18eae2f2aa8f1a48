#pragma once

#include "document/DocumentHost.h"
#include "shell/ApplicationServices.h"
#include "shell/CommandTable.h"
#include "shell/ScreenColors.h"

#include <QObject>
#include <QPointer>

class QStatusBar;
class QWidget;

namespace ombrix::shell {

class CInstrumentsDlg;
class COmbrixView;
class DocumentTimers;

// The commands that set how the instrument is presented and reached: Cursor...,
// Colors..., Sharp pixels, Always on top, Instruments... and About, with
// their dialogs.
class ViewCommands : public QObject {
    Q_OBJECT

public:
    struct Parts {
        CommandTable& commands;
        ApplicationServices& application;
        document::DocumentHost& document;
        QWidget& window;
        COmbrixView& view;
        QStatusBar& status;
        DocumentTimers& timers;
    };

    explicit ViewCommands(Parts parts);

    // A model was loaded: the colours chosen for it before come back.
    void ModelLoaded();
    // Keeps the window above others or not, as the settings say.
    void ApplyAlwaysOnTop();
    // Modeless and one at a time: the window goes on showing the instrument
    // the dialog helps to reach.
    void ShowInstruments();

signals:
    // A checked state changed.
    void changed();

private:
    void showAbout();
    void showCursorSettings();
    void showColors();
    void toggleSharpPixels();
    void toggleAlwaysOnTop();

    Parts parts_;
    ScreenColors colors_;
    QPointer<CInstrumentsDlg> instruments_;
};

} // namespace ombrix::shell
