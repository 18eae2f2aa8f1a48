#pragma once

#include <QString>

namespace ombrix::settings {

// The folder that screenshots and the commands history use until the user picks one:
// the user's documents folder, else the current directory. Native separators.
QString DefaultFolder();

// An empty folder setting stands for the default folder.
void UseDefaultFolderIfEmpty(QString& folder);

} // namespace ombrix::settings
