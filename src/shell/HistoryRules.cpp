#include "shell/HistoryRules.h"

namespace ombrix::shell {

HistoryCommands HistoryCommandsFor(int rows, int selected, bool playing) {
    const bool any = rows > 0;
    return {selected > 0 && any, any, any, any, !playing};
}

} // namespace ombrix::shell
