#include "history/HistoryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace ombrix::history {

namespace {

const QString kSeparator = QStringLiteral(" + ");

QString lineOf(const HistoryEntry& entry, bool timeStamp) {
    return timeStamp ? QStringLiteral("[%1] %2").arg(
                           entry.time.toString(QStringLiteral("hh:mm:ss")), entry.Text())
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
    QFile file(path);
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Text |
                                     (settings.Append() ? QIODevice::Append : QIODevice::Truncate);
    if (!file.open(mode)) {
        error = file.errorString();
        return false;
    }
    QTextStream out(&file);
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
    if (out.status() != QTextStream::Ok || !file.flush()) {
        error = file.errorString();
        return false;
    }
    return true;
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
    for (int line = 1; !in.atEnd(); ++line) {
        const QString text = in.readLine();
        const QString trimmed = text.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#') ||
            (!comment.isEmpty() && text == comment)) {
            continue;
        }
        // Split at " + " only, so that a key named "+" stays a name.
        QStringList keys = withoutTimeStamp(trimmed).split(kSeparator);
        for (QString& key : keys) {
            key = key.trimmed();
        }
        entries.push_back({line, keys});
    }
    return entries;
}

} // namespace ombrix::history
