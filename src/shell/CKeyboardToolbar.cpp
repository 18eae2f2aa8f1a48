#include "shell/CKeyboardToolbar.h"

#include "shell/CToolBarEx.h"

#include <QAction>
#include <QMouseEvent>
#include <QToolButton>

namespace ombrix::shell {

CKeyboardToolbar::CKeyboardToolbar(QWidget* frame)
    : CFloatingBar(tr("Keyboard"), new CToolBarEx(tr("Keyboard")), frame),
      toolbar_(static_cast<CToolBarEx*>(content())) {
    setObjectName(QStringLiteral("keyboardBar"));
    toolbar_->setObjectName(QStringLiteral("keyboardToolbar"));
    toolbar_->setAccessibleName(tr("Keyboard"));
    toolbar_->setMovable(false);
    toolbar_->toggleViewAction()->setObjectName(QStringLiteral("actionShowKeyboardToolbar"));
}

bool CKeyboardToolbar::Build(const model::KeyboardLayout& layout, const QImage& strip) {
    clearKeys();
    const std::vector<std::uint32_t>& bar = layout.toolbarButtons();
    if (bar.empty() || strip.isNull() ||
        !toolbar_->SetImages(kImageSize, strip, strip.pixel(0, 0))) {
        toolbar_->SetButtons({});
        return false;
    }
    std::vector<ToolbarButton> buttons;
    for (std::size_t position = 0; position < bar.size(); ++position) {
        const model::KeyButton* key = layout.ButtonByCode(bar[position]);
        auto* action = new QAction(key != nullptr ? key->keyName : QString(), this);
        action->setObjectName(QStringLiteral("actionKeyboardKey%1").arg(position));
        action->setToolTip(action->text());
        connect(action, &QAction::triggered, this,
                [this, position] { emit keyClicked(position, model::MouseButton::Left); });
        keys_.push_back(action);
        buttons.push_back({static_cast<int>(position), action});
    }
    toolbar_->SetButtons(buttons);
    // A key the strip has no image for shows its name.
    for (std::size_t position = 0; position < keys_.size(); ++position) {
        auto* button = qobject_cast<QToolButton*>(toolbar_->widgetForAction(keys_[position]));
        if (button == nullptr) {
            continue;
        }
        button->setAccessibleName(keys_[position]->text());
        button->installEventFilter(this);
        if (static_cast<int>(position) >= toolbar_->ImageCount()) {
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        }
    }
    adjustSize();
    return true;
}

void CKeyboardToolbar::clearKeys() {
    for (QAction* action : keys_) {
        action->deleteLater();
    }
    keys_.clear();
}

// The right button presses on the way down, as a click on the front panel does;
// the second of two quick clicks comes as a double click.
bool CKeyboardToolbar::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        for (std::size_t position = 0; position < keys_.size(); ++position) {
            if (toolbar_->widgetForAction(keys_[position]) == watched) {
                emit keyClicked(position, model::MouseButton::Right);
                return true;
            }
        }
    }
    return CFloatingBar::eventFilter(watched, event);
}

} // namespace ombrix::shell
