#pragma once

#include <QString>

namespace ombrix::model {

// The path of `name` under `folder`. Names read from model files come out upper
// case and may use "\" between folders, while file names on Linux are
// case-sensitive: each part of the name is taken as written when that entry
// exists, else as the first entry of its folder (by name) that upper-cases to
// the same text, else as written. The result uses "/" between parts. An empty
// name gives the folder itself.
QString ResolveFileName(const QString& folder, const QString& name);

} // namespace ombrix::model
