#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>
#include <QStringList>

namespace ombrix::shell {

// The toolbar images named (files of res/toolbar without ".svg") side by side,
// each `imageSize` times `scale`, as a 32-bit strip with alpha; null when an
// image is missing.
QImage RenderToolbarStrip(const QStringList& names, QSize imageSize, int scale);

// The cursor image named (a file of res/cursors without ".svg"), `pixels` on a
// side, 32-bit with alpha; null when the image is missing.
QImage RenderCursorImage(const QString& name, int pixels);

// The application icon at the sizes desktops ask for.
QIcon ApplicationIcon();

} // namespace ombrix::shell
