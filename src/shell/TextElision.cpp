#include "shell/TextElision.h"

#include <algorithm>

namespace ombrix::shell {

namespace {

const QString kEllipsis = QStringLiteral("\u2026");

// Where the last path's file name starts: after its last separator.
qsizetype nameStart(const QString& text) {
    return std::max(text.lastIndexOf(u'/'), text.lastIndexOf(u'\\')) + 1;
}

} // namespace

QString ElideKeepingName(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width) {
        return text;
    }
    const qsizetype start = nameStart(text);
    const QString tail = kEllipsis + text.mid(start);
    if (start == 0 || metrics.horizontalAdvance(tail) > width) {
        return metrics.elidedText(text, Qt::ElideMiddle, width);
    }
    QString head = text.left(start);
    while (!head.isEmpty() && metrics.horizontalAdvance(head + tail) > width) {
        head.chop(1);
    }
    return head + tail;
}

} // namespace ombrix::shell
