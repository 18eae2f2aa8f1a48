#include "shell/MainCommands.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <algorithm>

namespace ombrix::shell {

namespace {

// One action of a command: what it says and is called, and its shortcut.
struct CommandText {
    CommandId command;
    const char* text;
    const char* name; // the object name is "action" and this
    const char* tip = nullptr;
    int key = 0; // a key combination, or 0
    QKeySequence::StandardKey standardKey = QKeySequence::UnknownKey;
};

// The window's commands, each once, in the order the menus show them.
const CommandText kMainCommands[] = {
    {CommandId::MainToolbar, QT_TRANSLATE_NOOP("MainCommands", "&Main"), "MainToolbar"},
    {CommandId::KeyboardBar, QT_TRANSLATE_NOOP("MainCommands", "&Keyboard"), "KeyboardBar"},
    {CommandId::CommandsBar, QT_TRANSLATE_NOOP("MainCommands", "C&ommands"), "CommandsBar"},
    {CommandId::StatusBar, QT_TRANSLATE_NOOP("MainCommands", "&Status Bar"), "StatusBar"},
    {CommandId::NormalWithKeyboard, QT_TRANSLATE_NOOP("MainCommands", "With keyboard"),
     "NormalWithKeyboard", QT_TRANSLATE_NOOP("MainCommands", "Leave fullscreen mode")},
    {CommandId::NormalWithoutKeyboard, QT_TRANSLATE_NOOP("MainCommands", "Without keyboard"),
     "NormalWithoutKeyboard"},
    // F11 is the window's own toggle (ToggleFullscreen); the item names it.
    {CommandId::Fullscreen, QT_TRANSLATE_NOOP("MainCommands", "&Fullscreen\tF11"), "Fullscreen"},
    {CommandId::Compact, QT_TRANSLATE_NOOP("MainCommands", "&Compact"), "Compact"},
    {CommandId::CursorSettings, QT_TRANSLATE_NOOP("MainCommands", "C&ursor..."), "CursorSettings"},
    {CommandId::Colors, QT_TRANSLATE_NOOP("MainCommands", "Colors..."), "Colors"},
    {CommandId::SharpPixels, QT_TRANSLATE_NOOP("MainCommands", "S&harp pixels"), "SharpPixels",
     QT_TRANSLATE_NOOP("MainCommands", "Shows the instrument's pixels as sharp blocks")},
    {CommandId::AlwaysOnTop, QT_TRANSLATE_NOOP("MainCommands", "&Always on top"), "AlwaysOnTop",
     QT_TRANSLATE_NOOP("MainCommands", "Keeps the window above other windows")},
    {CommandId::Instruments, QT_TRANSLATE_NOOP("MainCommands", "&Instruments..."), "Instruments",
     QT_TRANSLATE_NOOP("MainCommands",
                       "Shows the attached instruments and chooses the USB devices to use")},
    {CommandId::ScreenshotSave, QT_TRANSLATE_NOOP("MainCommands", "Sa&ve"), "ScreenshotSave",
     QT_TRANSLATE_NOOP("MainCommands", "Saving device screen to an image file"), Qt::Key_F8},
    {CommandId::ScreenshotCopy, QT_TRANSLATE_NOOP("MainCommands", "&Copy"), "ScreenshotCopy",
     QT_TRANSLATE_NOOP("MainCommands", "Copies the framed device screen to the clipboard"), 0,
     QKeySequence::Copy},
    {CommandId::ScreenshotRecord, QT_TRANSLATE_NOOP("MainCommands", "&Record"), "ScreenshotRecord",
     QT_TRANSLATE_NOOP("MainCommands", "Records the device screen and the keys pressed; again "
                                       "to stop"),
     (Qt::CTRL | Qt::Key_R).toCombined()},
    {CommandId::ScreenshotZoom1, "x1", "ScreenshotZoom1"},
    {CommandId::ScreenshotZoom2, "x2", "ScreenshotZoom2"},
    {CommandId::ScreenshotZoom3, "x3", "ScreenshotZoom3"},
    {CommandId::ScreenshotZoom4, "x4", "ScreenshotZoom4"},
    {CommandId::ScreenshotSettings, QT_TRANSLATE_NOOP("MainCommands", "Se&ttings..."),
     "ScreenshotSettings"},
    {CommandId::About, QT_TRANSLATE_NOOP("MainCommands", "&About Ombrix..."), "About"},
    // F11 leaves fullscreen as it enters it, as in every desktop viewer.
    {CommandId::ToggleFullscreen, QT_TRANSLATE_NOOP("MainCommands", "Fullscreen on or off"),
     "ToggleFullscreen", nullptr, Qt::Key_F11},
    {CommandId::FullscreenToolbar, QT_TRANSLATE_NOOP("MainCommands", "&Toolbar"),
     "FullscreenToolbar"},
    {CommandId::ExitFullscreen, QT_TRANSLATE_NOOP("MainCommands", "&Exit fullscreen\tSpace"),
     "ExitFullscreen"},
};

QString translated(const char* text) {
    return QCoreApplication::translate("MainCommands", text);
}

QAction* add(CommandTable& commands, const CommandText& entry) {
    QAction* action =
        commands.Add(entry.command, translated(entry.text), QString::fromLatin1(entry.name));
    if (entry.tip != nullptr) {
        action->setStatusTip(translated(entry.tip));
    }
    return action;
}

// Menus are named for tests and read out by their titles.
QMenu* addMenu(QWidget& parent, const char* title, const char* objectName) {
    QMenu* menu = nullptr;
    if (auto* bar = qobject_cast<QMenuBar*>(&parent)) {
        menu = bar->addMenu(translated(title));
    } else {
        menu = static_cast<QMenu&>(parent).addMenu(translated(title));
    }
    menu->setObjectName(QString::fromLatin1(objectName));
    menu->setAccessibleName(menu->title().remove(u'&'));
    return menu;
}

void addItems(QMenu& menu, const CommandTable& commands, std::initializer_list<CommandId> items) {
    for (const CommandId command : items) {
        menu.addAction(commands.Action(command));
    }
}

} // namespace

void AddMainCommands(CommandTable& commands, QWidget& window) {
    auto* zooms = new QActionGroup(&window); // one zoom at a time: radio items
    zooms->setExclusive(true);
    for (const CommandText& entry : kMainCommands) {
        QAction* action = add(commands, entry);
        if (entry.key != 0 || entry.standardKey != QKeySequence::UnknownKey) {
            action->setShortcut(entry.key != 0 ? QKeySequence(entry.key)
                                               : QKeySequence(entry.standardKey));
            action->setShortcutContext(Qt::ApplicationShortcut); // also from the floating bars
            window.addAction(action);
        }
        if (std::find(kZoomCommands.begin(), kZoomCommands.end(), entry.command) !=
            kZoomCommands.end()) {
            zooms->addAction(action);
        }
    }
}

void FillMenuBar(QMenuBar& menuBar, const CommandTable& commands) {
    menuBar.setObjectName(QStringLiteral("menuBar"));
    menuBar.setAccessibleName(translated(QT_TRANSLATE_NOOP("MainCommands", "Menu bar")));
    QMenu* view = addMenu(menuBar, QT_TRANSLATE_NOOP("MainCommands", "&View"), "viewMenu");
    addItems(*addMenu(*view, QT_TRANSLATE_NOOP("MainCommands", "&Toolbars"), "toolbarsMenu"),
             commands, {CommandId::MainToolbar, CommandId::KeyboardBar, CommandId::CommandsBar});
    addItems(*view, commands, {CommandId::StatusBar});
    view->addSeparator();
    addItems(*addMenu(*view, QT_TRANSLATE_NOOP("MainCommands", "Normal"), "normalMenu"), commands,
             {CommandId::NormalWithKeyboard, CommandId::NormalWithoutKeyboard});
    addItems(*view, commands, {CommandId::Fullscreen, CommandId::Compact});
    view->addSeparator();
    addItems(*view, commands, {CommandId::CursorSettings});
    view->addSeparator();
    addItems(*view, commands, {CommandId::Colors, CommandId::SharpPixels, CommandId::AlwaysOnTop});
    view->addSeparator();
    addItems(*view, commands, {CommandId::Instruments});

    QMenu* screenshot =
        addMenu(menuBar, QT_TRANSLATE_NOOP("MainCommands", "&Screenshot"), "screenshotMenu");
    addItems(*screenshot, commands,
             {CommandId::ScreenshotSave, CommandId::ScreenshotCopy, CommandId::ScreenshotRecord});
    screenshot->addSeparator();
    QMenu* zoom = addMenu(*screenshot, QT_TRANSLATE_NOOP("MainCommands", "&Zoom"), "zoomMenu");
    for (const CommandId command : kZoomCommands) {
        zoom->addAction(commands.Action(command));
    }
    addItems(*screenshot, commands, {CommandId::ScreenshotSettings});
    addItems(*addMenu(menuBar, QT_TRANSLATE_NOOP("MainCommands", "&Help"), "helpMenu"), commands,
             {CommandId::About});
}

QMenu* MakeFullscreenMenu(CommandTable& commands, QWidget& parent) {
    auto* menu = new QMenu(translated(QT_TRANSLATE_NOOP("MainCommands", "Fullscreen")), &parent);
    menu->setObjectName(QStringLiteral("fullscreenMenu"));
    menu->setAccessibleName(menu->title());
    const auto item = [&](QMenu& into, CommandId command, const char* text, const char* name) {
        into.addAction(add(commands, {command, text, name}));
    };
    addItems(*menu, commands, {CommandId::ExitFullscreen});
    QMenu* view = addMenu(*menu, QT_TRANSLATE_NOOP("MainCommands", "&View"), "fullscreenViewMenu");
    item(*view, CommandId::NormalWithKeyboard,
         QT_TRANSLATE_NOOP("MainCommands", "Normal &with keyboard"), "ContextNormalWithKeyboard");
    item(*view, CommandId::NormalWithoutKeyboard,
         QT_TRANSLATE_NOOP("MainCommands", "Normal with&out keyboard"),
         "ContextNormalWithoutKeyboard");
    view->addSeparator();
    item(*view, CommandId::CursorSettings, QT_TRANSLATE_NOOP("MainCommands", "&Cursor..."),
         "ContextCursorSettings");
    item(*view, CommandId::Compact, QT_TRANSLATE_NOOP("MainCommands", "C&ompact"),
         "ContextCompact");
    view->addSeparator();
    item(*view, CommandId::Colors, QT_TRANSLATE_NOOP("MainCommands", "Colors..."), "ContextColors");
    menu->addSeparator();
    item(*menu, CommandId::CommandsBar, QT_TRANSLATE_NOOP("MainCommands", "&Commands toolbar"),
         "ContextCommandsBar");
    item(*menu, CommandId::KeyboardBar, QT_TRANSLATE_NOOP("MainCommands", "&Keyboard"),
         "ContextKeyboardBar");
    addItems(*menu, commands, {CommandId::FullscreenToolbar});
    menu->addSeparator();
    QMenu* screenshot = addMenu(*menu, QT_TRANSLATE_NOOP("MainCommands", "&Screenshot"),
                                "fullscreenScreenshotMenu");
    item(*screenshot, CommandId::ScreenshotSave, QT_TRANSLATE_NOOP("MainCommands", "Sa&ve\tF8"),
         "ContextScreenshotSave");
    item(*screenshot, CommandId::ScreenshotCopy, QT_TRANSLATE_NOOP("MainCommands", "&Copy\tCtrl+C"),
         "ContextScreenshotCopy");
    item(*screenshot, CommandId::ScreenshotRecord,
         QT_TRANSLATE_NOOP("MainCommands", "&Record\tCtrl+R"), "ContextScreenshotRecord");
    item(*screenshot, CommandId::ScreenshotSettings,
         QT_TRANSLATE_NOOP("MainCommands", "Se&ttings..."), "ContextScreenshotSettings");
    return menu;
}

} // namespace ombrix::shell
