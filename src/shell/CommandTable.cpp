#include "shell/CommandTable.h"

#include <QSignalBlocker>

namespace ombrix::shell {

QAction* CommandTable::Add(CommandId command, const QString& text, const QString& name) {
    auto* action = new QAction(text, owner_);
    action->setObjectName(QStringLiteral("action") + name);
    action->setData(static_cast<int>(command));
    actions_[command].push_back(action);
    return action;
}

QAction* CommandTable::Action(CommandId command) const {
    const std::vector<QAction*>& all = Actions(command);
    return all.empty() ? nullptr : all.front();
}

const std::vector<QAction*>& CommandTable::Actions(CommandId command) const {
    static const std::vector<QAction*> kNone;
    const auto found = actions_.find(command);
    return found == actions_.end() ? kNone : found->second;
}

void CommandTable::OnTriggered(CommandId command, const std::function<void()>& handler) {
    for (QAction* action : Actions(command)) {
        QObject::connect(action, &QAction::triggered, owner_, [handler] { handler(); });
    }
}

void CommandTable::Refresh(const FrameState& state) const {
    for (const auto& [command, actions] : actions_) {
        const CommandState rule = RuleFor(command, state);
        for (QAction* action : actions) {
            const QSignalBlocker blocker(action);
            action->setEnabled(rule.enabled);
            action->setCheckable(rule.checkable);
            action->setChecked(rule.checked);
        }
    }
}

} // namespace ombrix::shell
