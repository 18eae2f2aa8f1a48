#pragma once

namespace ombrix::shell {

// Which of the commands history's commands can be used ("Settings..." always can).
struct HistoryCommands {
    bool deleteSelected = false;
    bool deleteAll = false;
    bool save = false;
    bool saveAs = false;
    bool playBack = true;

    friend bool operator==(const HistoryCommands&, const HistoryCommands&) = default;
};

// The commands for a history of `rows` entries of which `selected` are
// selected, while a play back runs or not: deleting the selection needs one,
// the others need an entry, and one play back runs at a time.
HistoryCommands HistoryCommandsFor(int rows, int selected, bool playing);

} // namespace ombrix::shell
