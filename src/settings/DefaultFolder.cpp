#include "settings/DefaultFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace ombrix::settings {

QString DefaultFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir::toNativeSeparators(documents.isEmpty() ? QDir::currentPath() : documents);
}

void UseDefaultFolderIfEmpty(QString& folder) {
    if (folder.isEmpty()) {
        folder = DefaultFolder();
    }
}

} // namespace ombrix::settings
