#pragma once

#include <QString>

namespace ombrix::base {

// The path of `name` under `folder`, for names that come out of model files and
// identification replies: upper-cased, "\" or "/" between folders, while file
// names on Linux are case-sensitive. Each part is taken as written when that
// entry exists, else as the lowest entry of its folder (by name) that equals it
// ignoring case, else as written; "." and ".." are taken as written. The result
// uses "/" between parts; an empty name gives the folder itself.
QString ResolveFileName(const QString& folder, const QString& name);

// ResolveFileName when it names a regular file, else an empty text.
QString FindFile(const QString& folder, const QString& name);

} // namespace ombrix::base
