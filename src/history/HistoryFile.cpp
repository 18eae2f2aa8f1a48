#include "history/HistoryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace ombrix::history {

namespace {

// A note stays a line of its own that starts with "#", time stamps or not.
QString lineOf(const HistoryEntry& entry, bool timeStamp) {
    return timeStamp && !entry.IsNote()
               ? QStringLiteral("[%1] %2").arg(entry.time.toString(QStringLiteral("hh:mm:ss")),
                                               entry.Text())
               : entry.Text();
}

// The line without a time stamp in front.
QString withoutTimeStamp(const QString& line) {
    if (!line.startsWith(u'[')) {
        return line;
    }
    const qsizetype close = line.indexOf(QStringLiteral("] "));
    return close < 0 ? line : line.mid(close + 2);
}

ReadEntry entryOf(int line, QString text, bool firstInBlock) {
    const bool hold = text.endsWith(kHoldSuffix);
    if (hold) {
        text.chop(kHoldSuffix.size());
    }
    // Split at " + " only, so that a key named "+" stays a name.
    QStringList keys = text.split(kKeySeparator);
    for (QString& key : keys) {
        key = key.trimmed();
    }
    return {line, keys, hold, firstInBlock};
}

// The block as the settings describe it, after the empty line an append puts first.
void writeBlock(QTextStream& out, const std::vector<HistoryEntry>& entries,
                const settings::CommandsToolbarSettings& settings, const QString& latestImage) {
    out.setEncoding(QStringConverter::System);
    if (settings.Append()) {
        out << '\n';
    }
    if (!settings.Separator().isEmpty()) {
        out << settings.Separator() << '\n';
    }
    if (settings.AddImageInfo()) {
        out << "#Latest saved image: "
            << (latestImage.isEmpty() ? QStringLiteral("<None>") : latestImage) << '\n';
    }
    for (const HistoryEntry& entry : entries) {
        out << lineOf(entry, settings.TimeStamps()) << '\n';
    }
    out.flush();
}

// Appending keeps what the file held whatever happens; replacing goes through
// a new file that takes the old one's place only once it is whole.
bool writeFile(QFileDevice& file, const std::vector<HistoryEntry>& entries,
               const settings::CommandsToolbarSettings& settings, const QString& latestImage,
               QString& error) {
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Text |
                                     (settings.Append() ? QIODevice::Append : QIODevice::NotOpen);
    if (!file.open(mode)) {
        error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    writeBlock(out, entries, settings, latestImage);
    auto* replacing = qobject_cast<QSaveFile*>(&file);
    const bool written = out.status() == QTextStream::Ok &&
                         (replacing != nullptr ? replacing->commit() : file.flush());
    if (!written) {
        error = file.errorString();
    }
    return written;
}

} // namespace

bool WriteHistory(const QString& path, const std::vector<HistoryEntry>& entries,
                  const settings::CommandsToolbarSettings& settings, const QString& latestImage,
                  QString& error) {
    if (entries.empty()) {
        return true;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        error =
            QStringLiteral("the folder %1 cannot be created").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (settings.Append()) {
        QFile file(path);
        return writeFile(file, entries, settings, latestImage, error);
    }
    QSaveFile file(path);
    return writeFile(file, entries, settings, latestImage, error);
}

std::optional<std::vector<ReadEntry>> ReadHistory(const QString& path, const QString& comment,
                                                  QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = file.errorString();
        return std::nullopt;
    }
    QTextStream in(&file);
    in.setEncoding(QStringConverter::System);
    std::vector<ReadEntry> entries;
    // A save puts the comment first in its block: at the start of the file or
    // after an empty line. Elsewhere the same text is an entry.
    bool blockStart = true;
    for (int line = 1; !in.atEnd(); ++line) {
        const QString text = in.readLine();
        const QString entry = withoutTimeStamp(text.trimmed());
        const bool isComment = blockStart && !comment.isEmpty() && text == comment;
        const bool firstInBlock = blockStart;
        blockStart = entry.isEmpty();
        if (entry.isEmpty() || entry.startsWith(u'#') || isComment) {
            continue;
        }
        entries.push_back(entryOf(line, entry, firstInBlock));
    }
    return entries;
}

} // namespace ombrix::history
