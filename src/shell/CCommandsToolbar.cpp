#include "shell/CCommandsToolbar.h"

namespace ombrix::shell {

namespace {

// The list at its width, about a dozen entries high.
constexpr QSize kListSize{220, 260};

} // namespace

CCommandsToolbar::CCommandsToolbar(QWidget* frame)
    : CFloatingBar(tr("Commands history"), new QListWidget, frame),
      list_(static_cast<QListWidget*>(content())) {
    setObjectName(QStringLiteral("commandsBar"));
    list_->setObjectName(QStringLiteral("commandsList"));
    list_->setAccessibleName(tr("Commands history"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSortingEnabled(false);
    resize(kListSize);
}

void CCommandsToolbar::AddEntry(const QString& text) {
    list_->insertItem(0, text);
}

QStringList CCommandsToolbar::Entries() const {
    QStringList entries;
    for (int row = 0; row < list_->count(); ++row) {
        entries.append(list_->item(row)->text());
    }
    return entries;
}

} // namespace ombrix::shell
