#include "recording/SubtitleCues.h"

#include <QSaveFile>
#include <algorithm>

namespace ombrix::recording {

namespace {

QString timestamp(std::chrono::milliseconds time) {
    using namespace std::chrono;
    const auto hours = duration_cast<std::chrono::hours>(time);
    const auto minutes = duration_cast<std::chrono::minutes>(time - hours);
    const auto seconds = duration_cast<std::chrono::seconds>(time - hours - minutes);
    const auto millis = time - hours - minutes - seconds;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(hours.count(), 2, 10, QChar(u'0'))
        .arg(minutes.count(), 2, 10, QChar(u'0'))
        .arg(seconds.count(), 2, 10, QChar(u'0'))
        .arg(millis.count(), 3, 10, QChar(u'0'));
}

// A cue's text may hold neither markup nor the blank line that ends it.
QString escaped(QString text) {
    text.replace(u'&', QStringLiteral("&amp;"));
    text.replace(u'<', QStringLiteral("&lt;"));
    text.replace(u'>', QStringLiteral("&gt;"));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

QString WebVttText(std::vector<SubtitleCue> cues) {
    std::stable_sort(cues.begin(), cues.end(),
                     [](const SubtitleCue& a, const SubtitleCue& b) { return a.start < b.start; });
    QString text = QStringLiteral("WEBVTT\n");
    for (const SubtitleCue& cue : cues) {
        text += u'\n' + timestamp(cue.start) + QStringLiteral(" --> ") + timestamp(cue.end) +
                u'\n' + escaped(cue.text) + u'\n';
    }
    return text;
}

bool WriteWebVtt(const QString& path, const std::vector<SubtitleCue>& cues, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    file.write(WebVttText(cues).toUtf8());
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace ombrix::recording
