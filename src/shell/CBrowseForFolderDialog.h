#pragma once

#include <QFileDialog>
#include <QString>

namespace ombrix::shell {

// Chooses a folder. It starts at the initial folder only when that exists; a
// typed folder that does not exist is answered with "Invalid directory!" and
// the browser stays open.
class CBrowseForFolderDialog : public QFileDialog {
    Q_OBJECT

public:
    CBrowseForFolderDialog(QWidget* owner, const QString& title, const QString& initialFolder);

    // The folder chosen; empty when none was.
    QString FolderPath() const;

public slots:
    void accept() override;
};

} // namespace ombrix::shell
