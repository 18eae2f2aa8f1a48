#pragma once

#include "history/HistoryFile.h"
#include "model/EntryPresses.h"
#include "model/KeyboardLayout.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace ombrix::history {

// One entry of a history file made playable: its line, the presses that give
// its code again (`hold`: its one key held for its hold code), and that code.
struct ReplayStep {
    int line = 0;
    std::vector<model::KeyPress> presses;
    std::uint8_t code = 0;
    bool hold = false;
};

// The steps for `entries` on `layout`, every one checked before any is used.
// A block's first line that is no entry of the layout is the comment a save
// put there and is skipped. None, with "line N: ..." in `error`, when any other
// names what is not a key of the layout, or an entry's keys give no code.
std::optional<std::vector<ReplayStep>> PlanReplay(const model::KeyboardLayout& layout,
                                                  const std::vector<ReadEntry>& entries,
                                                  QString& error);

// Reads the history file at `path` (skipping `comment` lines) and plans its
// replay on `layout`; none, with the reason in `error`, when it cannot be
// read, holds no entry, or names what `layout` cannot press.
std::optional<std::vector<ReplayStep>> LoadReplay(const QString& path, const QString& comment,
                                                  const model::KeyboardLayout& layout,
                                                  QString& error);

} // namespace ombrix::history
