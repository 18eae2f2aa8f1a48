#include "model/ResolveFileName.h"

#include <QDir>
#include <QFileInfo>

namespace ombrix::model {

namespace {

QString joinPath(const QString& folder, const QString& part) {
    if (folder.isEmpty() || folder.endsWith(u'/')) {
        return folder + part;
    }
    return folder + u'/' + part;
}

QString resolvePart(const QString& folder, const QString& part) {
    if (QFileInfo::exists(joinPath(folder, part))) {
        return part;
    }
    const QString upperPart = part.toUpper();
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.toUpper() == upperPart) {
            return entry;
        }
    }
    return part;
}

} // namespace

QString ResolveFileName(const QString& folder, const QString& name) {
    QString path = folder;
    const QStringList parts = QString(name).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        path = joinPath(path, resolvePart(path, part));
    }
    return path;
}

} // namespace ombrix::model
