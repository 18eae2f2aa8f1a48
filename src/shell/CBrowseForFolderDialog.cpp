#include "shell/CBrowseForFolderDialog.h"

#include <QFileInfo>
#include <QMessageBox>

namespace ombrix::shell {

CBrowseForFolderDialog::CBrowseForFolderDialog(QWidget* owner, const QString& title,
                                               const QString& initialFolder)
    : QFileDialog(owner, title) {
    setObjectName(QStringLiteral("folderBrowser"));
    setAccessibleName(title);
    setFileMode(QFileDialog::Directory);
    setOption(QFileDialog::ShowDirsOnly);
    // The same dialog on every desktop, with the edit box for a typed folder.
    setOption(QFileDialog::DontUseNativeDialog);
    if (QFileInfo(initialFolder).isDir()) {
        setDirectory(initialFolder);
    }
}

QString CBrowseForFolderDialog::FolderPath() const {
    const QStringList chosen = selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.front();
}

void CBrowseForFolderDialog::accept() {
    if (!QFileInfo(FolderPath()).isDir()) {
        QMessageBox::critical(this, windowTitle(), tr("Invalid directory!"));
        return;
    }
    QFileDialog::accept();
}

} // namespace ombrix::shell
