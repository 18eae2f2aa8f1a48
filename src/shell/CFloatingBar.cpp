#include "shell/CFloatingBar.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace ombrix::shell {

CFloatingBar::CFloatingBar(const QString& caption, QWidget* content, QWidget* frame)
    : QWidget(frame,
              Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      content_(content) {
    setWindowTitle(caption);
    setAccessibleName(caption);
    // A bar appearing (a mode change, View > Toolbars) leaves the keyboard
    // where it was: with the window, whose keys press the instrument's.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
}

void CFloatingBar::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->spontaneous()) {
        emit closedByUser();
    }
}

} // namespace ombrix::shell
