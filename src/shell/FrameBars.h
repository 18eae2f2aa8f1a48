#pragma once

#include "shell/ApplicationServices.h"
#include "shell/CommandTable.h"
#include "shell/DisplayMode.h"
#include "shell/ModeBars.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QMainWindow;
class QMenu;
class QWindow;

namespace ombrix::model {
class KeyboardLayout;
}

namespace ombrix::shell {

class CCommandsToolbar;
class CFloatingBar;
class CKeyboardToolbar;
class COmbrixView;
class CToolBarEx;
class FloatingBars;

// The window's bars and the one owner of whether each is shown: the main
// toolbar and the status bar in the window, the fullscreen toolbar, the
// keyboard bar and the commands history floating beside it. The View menu's
// items, the toolbar's context menu, a floating bar's close button and what is
// stored when the window closes all go by it.
class FrameBars : public QObject {
    Q_OBJECT

public:
    struct Parts {
        QMainWindow& window;
        COmbrixView& view;
        CommandTable& commands;
        ApplicationServices& application;
        std::function<DisplayMode()> mode;
    };

    // Throws std::runtime_error when the toolbars' images cannot be made.
    explicit FrameBars(Parts parts);
    ~FrameBars() override;

    const BarVisibility& Visibility() const { return bars_; }
    // The bars of the current mode; the floating ones only once the window
    // has been shown (before, they would stand alone on the screen).
    void ApplyMode();
    void WindowShown();
    // The window moved or changed its size: the floating bars follow it.
    void WindowChanged();
    // The keyboard bar of a model; a message when its picture cannot be used.
    std::optional<QString> RebuildKeyboardBar(const model::KeyboardLayout& layout,
                                              const QString& picturePath);
    // The room the floating bars shown take beside the window: their width on
    // its right, their height below it.
    QSize Room() const;
    // The window or one of its floating bars that keys go to the instrument from.
    bool IsOwnWindow(const QWindow* window) const;
    // The toolbar's context menu: the View > Toolbars items and the status bar.
    QMenu* PopupMenu(QWidget* parent) const;
    // Keeps in the settings which bars the window closed with.
    void StoreVisibility();

    CToolBarEx& MainToolbar() const { return *mainToolbar_; }
    CToolBarEx& FullscreenToolbar() const { return *fullscreenToolbar_; }
    CCommandsToolbar& CommandsBar() const { return *commandsBar_; }
    CKeyboardToolbar& KeyboardBar() const { return *keyboardBar_; }
    const FloatingBars& Places() const { return *places_; }

signals:
    // A bar was shown or hidden.
    void changed();
    // The main toolbar or the status bar was shown or hidden: the view's size
    // changed with it.
    void windowBarsChanged();

private:
    void createMainToolbar();
    void createFullscreenToolbar();
    void connectBars();
    void toggle(bool BarVisibility::*bar);
    void applyWindowBars();
    void showFloating();

    Parts parts_;
    BarVisibility bars_;
    CToolBarEx* mainToolbar_ = nullptr;
    CToolBarEx* fullscreenToolbar_ = nullptr;
    CFloatingBar* fullscreenBar_ = nullptr;
    CCommandsToolbar* commandsBar_ = nullptr;
    CKeyboardToolbar* keyboardBar_ = nullptr;
    std::unique_ptr<FloatingBars> places_;
    bool shown_ = false;
};

} // namespace ombrix::shell
