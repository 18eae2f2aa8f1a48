#include "base/FileLookup.h"

#include <QDir>
#include <QFileInfo>

namespace ombrix::base {

namespace {

QString joinPath(const QString& folder, const QString& part) {
    if (folder.isEmpty() || folder.endsWith(u'/')) {
        return folder + part;
    }
    return folder + u'/' + part;
}

QString resolvePart(const QString& folder, const QString& part) {
    if (part == u"." || part == u".." || QFileInfo::exists(joinPath(folder, part))) {
        return part;
    }
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    // Sorted by name, so the lowest of several spellings wins whatever the
    // order the file system lists them in.
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(part, Qt::CaseInsensitive) == 0) {
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

QString FindFile(const QString& folder, const QString& name) {
    const QString path = ResolveFileName(folder, name);
    return !name.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

} // namespace ombrix::base
