#pragma once

#include "shell/CommandId.h"
#include "shell/CommandRules.h"

#include <QAction>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

namespace ombrix::shell {

// The program's commands as QActions keyed by their ids. A command may appear
// as several actions (a menu item and a context menu item with other texts);
// all of them run the command's handler and show its rule's state.
class CommandTable {
public:
    explicit CommandTable(QObject* owner) : owner_(owner) {}

    // A new action for `command`; `name` makes its object name "action" + name.
    QAction* Add(CommandId command, const QString& text, const QString& name);
    // The first action of `command`.
    QAction* Action(CommandId command) const;
    const std::vector<QAction*>& Actions(CommandId command) const;
    // What every action of `command` does when triggered.
    void OnTriggered(CommandId command, const std::function<void()>& handler);
    // Applies each command's rule to its actions, without emitting toggles.
    void Refresh(const FrameState& state) const;

private:
    QObject* owner_;
    std::map<CommandId, std::vector<QAction*>> actions_;
};

} // namespace ombrix::shell
