#pragma once

#include <QFontMetrics>
#include <QString>

namespace ombrix::shell {

// `text` cut to `width` pixels in its middle, so that its start and its end
// stay; the last path's file name (and what follows it) is kept whole where
// it fits at all.
QString ElideKeepingName(const QString& text, const QFontMetrics& metrics, int width);

} // namespace ombrix::shell
