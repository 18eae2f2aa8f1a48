#pragma once

namespace ombrix::shell {

// Which of the commands history's commands can be used.
struct HistoryCommands {
    bool deleteSelected = false;
    bool deleteAll = false;
    bool save = false;
    bool saveAs = false;
    bool settings = true;
    bool playBack = true;

    friend bool operator==(const HistoryCommands&, const HistoryCommands&) = default;
};

// The commands for a history of `rows` entries of which `selected` are
// selected: deleting the selection needs one, the others need an entry.
HistoryCommands HistoryCommandsFor(int rows, int selected);

} // namespace ombrix::shell
