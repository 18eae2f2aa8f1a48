#pragma once

#include "history/HistoryEntry.h"
#include "settings/CommandsToolbarSettings.h"

#include <QString>
#include <optional>
#include <vector>

namespace ombrix::history {

// Writes `entries` (oldest first) to `path` as the commands history file the
// settings describe: appended after an empty line or replacing the file, the
// comment line, the latest saved image line ("<None>" when `latestImage` is
// empty), then one entry a line ("[hh:mm:ss] " ahead when time stamps are
// on), in the system's 8-bit encoding. A replaced file keeps its old text
// unless the new one was written whole. A missing folder is created. Writes
// nothing, and creates no file, for no entries. False, with the reason in
// `error`, when the file cannot be written.
bool WriteHistory(const QString& path, const std::vector<HistoryEntry>& entries,
                  const settings::CommandsToolbarSettings& settings, const QString& latestImage,
                  QString& error);

// An entry of a history file and the line it stands on (from 1).
struct ReadEntry {
    int line = 0;
    QStringList keys;
    // Its one key was held: " (hold)" follows the name.
    bool hold = false;
    // First in its block (the file's start or after an empty line), where a
    // save puts its comment.
    bool firstInBlock = false;
};

// The entries of a history file: empty lines, notes and lines starting with
// "#", and `comment` where a save puts it (first in the file or after an
// empty line) are skipped, a leading time stamp "[...] " is ignored. None,
// with the reason in `error`, when the file cannot be read.
std::optional<std::vector<ReadEntry>> ReadHistory(const QString& path, const QString& comment,
                                                  QString& error);

} // namespace ombrix::history
