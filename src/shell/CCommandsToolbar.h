#pragma once

#include "shell/CFloatingBar.h"

#include <QListWidget>
#include <QString>
#include <QStringList>

namespace ombrix::shell {

// The commands history bar ("Commands history"): the keys pressed on the
// instrument, newest first.
class CCommandsToolbar : public CFloatingBar {
    Q_OBJECT

public:
    explicit CCommandsToolbar(QWidget* frame);

    // Puts a history entry at the top of the list.
    void AddEntry(const QString& text);
    // The entries, newest first.
    QStringList Entries() const;

private:
    QListWidget* list_;
};

} // namespace ombrix::shell
