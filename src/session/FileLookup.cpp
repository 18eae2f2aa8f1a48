#include "session/FileLookup.h"

#include <QFile>
#include <QString>
#include <optional>
#include <system_error>

namespace ombrix::session {

namespace {

bool isRegularFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool isPlainFileName(const std::filesystem::path& name) {
    return !name.empty() && !name.has_parent_path() && name != "." && name != "..";
}

QString decodedName(const std::filesystem::path& name) {
    return QFile::decodeName(QByteArray::fromStdString(name.string()));
}

bool sameIgnoringCase(const std::filesystem::path& a, const QString& b) {
    return decodedName(a).compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

std::filesystem::path findFileIgnoringCase(const std::filesystem::path& folder,
                                           const std::filesystem::path& name) {
    if (!isPlainFileName(name)) {
        return {};
    }
    if (isRegularFile(folder / name)) {
        return folder / name;
    }
    const QString wanted = decodedName(name);
    std::optional<std::filesystem::path> found;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::filesystem::path candidate = entry->path();
        if (sameIgnoringCase(candidate.filename(), wanted) && isRegularFile(candidate) &&
            (!found || candidate < *found)) {
            found = candidate;
        }
    }
    return found.value_or(std::filesystem::path());
}

} // namespace ombrix::session
