#include "shell/FrameBars.h"

#include "shell/CCommandsToolbar.h"
#include "shell/CFloatingBar.h"
#include "shell/CKeyboardToolbar.h"
#include "shell/COmbrixView.h"
#include "shell/CToolBarEx.h"
#include "shell/FloatingBars.h"

#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <QWindow>
#include <stdexcept>

namespace ombrix::shell {

namespace {

constexpr QSize kMainToolbarImage{24, 24};
constexpr QSize kFullscreenToolbarImage{16, 15};

// A toolbar's artwork; throws when it cannot be drawn.
void setArtwork(CToolBarEx& toolbar, const QStringList& names, QSize imageSize) {
    if (!toolbar.SetArtwork(names, imageSize)) {
        throw std::runtime_error("the toolbar images of " + toolbar.windowTitle().toStdString() +
                                 " cannot be made");
    }
}

} // namespace

FrameBars::FrameBars(Parts parts) : parts_(std::move(parts)) {
    createMainToolbar();
    createFullscreenToolbar();
    commandsBar_ = new CCommandsToolbar(&parts_.window, parts_.application);
    bars_.commandsBar = parts_.application.Settings().CommandsToolbar().Visible();
    keyboardBar_ = new CKeyboardToolbar(&parts_.window);
    bars_.keyboardBar = parts_.application.Settings().MainFrame().KeyboardToolbarVisible();
    places_ = std::make_unique<FloatingBars>(
        FloatingBars::Parts{parts_.window, parts_.view, *fullscreenBar_, *keyboardBar_,
                            *commandsBar_, parts_.application.Settings(), parts_.mode});
    connectBars();
    applyWindowBars();
}

FrameBars::~FrameBars() = default;

// Docked at the top for good: it is not floatable.
void FrameBars::createMainToolbar() {
    mainToolbar_ = new CToolBarEx(tr("Toolbar"), &parts_.window);
    mainToolbar_->setObjectName(QStringLiteral("mainToolbar"));
    mainToolbar_->setAccessibleName(tr("Toolbar"));
    mainToolbar_->setFloatable(false);
    setArtwork(*mainToolbar_, {QStringLiteral("screenshot-save"), QStringLiteral("about")},
               kMainToolbarImage);
    const CommandTable& commands = parts_.commands;
    // The record button keeps its own icon, with the red dot while recording.
    mainToolbar_->SetButtons({{0, commands.Action(CommandId::ScreenshotSave)},
                              {-1, commands.Action(CommandId::ScreenshotRecord)},
                              {1, commands.Action(CommandId::About)}});
    mainToolbar_->toggleViewAction()->setObjectName(QStringLiteral("actionShowMainToolbar"));
    parts_.window.addToolBar(Qt::TopToolBarArea, mainToolbar_);
}

// Two bare icons over a presentation: each says what it does.
void FrameBars::createFullscreenToolbar() {
    fullscreenToolbar_ = new CToolBarEx(tr("Fullscreen"), &parts_.window);
    fullscreenToolbar_->setObjectName(QStringLiteral("fullscreenToolbar"));
    fullscreenToolbar_->setAccessibleName(tr("Fullscreen"));
    setArtwork(*fullscreenToolbar_,
               {QStringLiteral("normal-with-keyboard"), QStringLiteral("keyboard")},
               kFullscreenToolbarImage);
    const std::pair<CommandId, QString> buttons[] = {
        {CommandId::NormalWithKeyboard, tr("Leave fullscreen for the window with the front panel")},
        {CommandId::KeyboardBar, tr("Show or hide the keyboard bar")}};
    fullscreenToolbar_->SetButtons({{0, parts_.commands.Action(buttons[0].first)},
                                    {1, parts_.commands.Action(buttons[1].first)}});
    fullscreenToolbar_->toggleViewAction()->setObjectName(
        QStringLiteral("actionShowFullscreenToolbar"));
    fullscreenBar_ = new CFloatingBar(tr("Fullscreen"), fullscreenToolbar_, &parts_.window);
    fullscreenBar_->setObjectName(QStringLiteral("fullscreenBar"));
    for (const auto& [command, description] : buttons) {
        QAction* action = parts_.commands.Action(command);
        action->setToolTip(description);
        if (QWidget* button = fullscreenToolbar_->widgetForAction(action)) {
            button->setAccessibleName(description);
        }
    }
}

// A bar's close button hides it as its menu item does.
void FrameBars::connectBars() {
    const std::pair<CommandId, bool BarVisibility::*> toggles[] = {
        {CommandId::MainToolbar, &BarVisibility::mainToolbar},
        {CommandId::StatusBar, &BarVisibility::statusBar},
        {CommandId::CommandsBar, &BarVisibility::commandsBar},
        {CommandId::KeyboardBar, &BarVisibility::keyboardBar},
        {CommandId::FullscreenToolbar, &BarVisibility::fullscreenToolbar}};
    for (const auto& [command, bar] : toggles) {
        parts_.commands.OnTriggered(command, [this, bar = bar] { toggle(bar); });
    }
    const std::pair<CFloatingBar*, bool BarVisibility::*> closable[] = {
        {commandsBar_, &BarVisibility::commandsBar},
        {fullscreenBar_, &BarVisibility::fullscreenToolbar},
        {keyboardBar_, &BarVisibility::keyboardBar}};
    for (const auto& [widget, bar] : closable) {
        connect(widget, &CFloatingBar::closedByUser, this, [this, bar = bar] {
            bars_.*bar = false;
            emit changed();
        });
    }
    connect(keyboardBar_, &CKeyboardToolbar::keyClicked, &parts_.view,
            &COmbrixView::ClickBarButton);
}

// Showing or hiding the main toolbar or the status bar changes the view's
// height, and with it the width its ratio asks for.
void FrameBars::toggle(bool BarVisibility::*bar) {
    bars_.*bar = !(bars_.*bar);
    applyWindowBars();
    showFloating();
    emit changed();
    if (bar == &BarVisibility::mainToolbar || bar == &BarVisibility::statusBar) {
        emit windowBarsChanged();
    }
}

void FrameBars::ApplyMode() {
    bars_ = BarsForMode(parts_.mode(), bars_);
    applyWindowBars();
}

void FrameBars::WindowShown() {
    shown_ = true;
    showFloating();
}

void FrameBars::WindowChanged() {
    places_->WindowChanged();
}

void FrameBars::applyWindowBars() {
    mainToolbar_->setVisible(bars_.mainToolbar);
    parts_.window.statusBar()->setVisible(bars_.statusBar);
}

void FrameBars::showFloating() {
    places_->Show({shown_ && bars_.fullscreenToolbar,
                   shown_ && bars_.keyboardBar && keyboardBar_->Built(),
                   shown_ && bars_.commandsBar});
}

// The bar keeps its place and visibility from model to model. A model without
// bar keys or whose bar picture cannot be used leaves no bar: the buttons of
// the model before would press this model's keys under another's images.
std::optional<QString> FrameBars::RebuildKeyboardBar(const model::KeyboardLayout& layout,
                                                     const QString& picturePath) {
    if (keyboardBar_->Build(layout, QImage(picturePath)) || layout.toolbarButtons().empty()) {
        return std::nullopt;
    }
    return tr("The keyboard bar's picture %1 cannot be used.")
        .arg(picturePath.isEmpty() ? layout.ToolbarBitmapPath() : picturePath);
}

// The commands bar goes right of the window, the keyboard bar (once it has
// keys) below it.
QSize FrameBars::Room() const {
    const bool keyboard = bars_.keyboardBar && keyboardBar_->Built();
    return {bars_.commandsBar ? places_->FrameSizeOf(*commandsBar_).width() : 0,
            keyboard ? places_->FrameSizeOf(*keyboardBar_).height() : 0};
}

bool FrameBars::IsOwnWindow(const QWindow* window) const {
    return window != nullptr &&
           (window == parts_.window.windowHandle() || window == keyboardBar_->windowHandle() ||
            window == fullscreenBar_->windowHandle());
}

QMenu* FrameBars::PopupMenu(QWidget* parent) const {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("barsMenu"));
    menu->setAccessibleName(tr("Toolbars"));
    for (const CommandId command : {CommandId::MainToolbar, CommandId::KeyboardBar,
                                    CommandId::CommandsBar, CommandId::StatusBar}) {
        menu->addAction(parts_.commands.Action(command));
    }
    return menu;
}

// A keyboard bar that never existed leaves its stored visibility alone.
void FrameBars::StoreVisibility() {
    settings::ApplicationSettings& settings = parts_.application.Settings();
    if (keyboardBar_->Built()) {
        settings::MainFrameSettings frame = settings.MainFrame();
        frame.SetKeyboardToolbarVisible(bars_.keyboardBar);
        settings.SetMainFrame(frame);
    }
    settings::CommandsToolbarSettings commands = settings.CommandsToolbar();
    commands.SetVisible(bars_.commandsBar);
    settings.SetCommandsToolbar(commands);
}

} // namespace ombrix::shell
