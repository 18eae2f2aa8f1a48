#include "history/HistoryReplay.h"

#include <QDir>
#include <algorithm>

namespace ombrix::history {

namespace {

// The reason `entry` cannot be played on `layout`, or none.
std::optional<QString> problemOf(const model::KeyboardLayout& layout, const ReadEntry& entry,
                                 const std::optional<model::EntryPresses>& presses) {
    const auto unknown = std::find_if(entry.keys.begin(), entry.keys.end(), [&](const QString& k) {
        return layout.ButtonByName(k.toUpper()) == nullptr;
    });
    if (unknown != entry.keys.end()) {
        return QStringLiteral("line %1: \"%2\" is not a key of this instrument")
            .arg(entry.line)
            .arg(*unknown);
    }
    if (entry.hold && entry.keys.size() != 1) {
        return QStringLiteral("line %1: only a single key can be held").arg(entry.line);
    }
    if (!presses || !presses->code || *presses->code == 0) {
        return QStringLiteral("line %1: \"%2\" gives no key code on this instrument")
            .arg(entry.line)
            .arg(entry.keys.join(kKeySeparator) + (entry.hold ? kHoldSuffix : QString()));
    }
    return std::nullopt;
}

std::optional<model::EntryPresses> pressesOf(const model::KeyboardLayout& layout,
                                             const ReadEntry& entry) {
    if (!entry.hold) {
        return model::PressesForEntry(layout, entry.keys);
    }
    return entry.keys.size() == 1 ? model::PressesForHold(layout, entry.keys.front())
                                  : std::nullopt;
}

} // namespace

std::optional<std::vector<ReplayStep>> PlanReplay(const model::KeyboardLayout& layout,
                                                  const std::vector<ReadEntry>& entries,
                                                  QString& error) {
    std::vector<ReplayStep> steps;
    steps.reserve(entries.size());
    for (const ReadEntry& entry : entries) {
        const std::optional<model::EntryPresses> presses = pressesOf(layout, entry);
        if (const std::optional<QString> problem = problemOf(layout, entry, presses)) {
            // What a save puts first in a block and is no entry is its comment,
            // whatever the comment setting says now.
            if (entry.firstInBlock) {
                continue;
            }
            error = *problem;
            return std::nullopt;
        }
        steps.push_back({entry.line, presses->presses, *presses->code, presses->hold});
    }
    return steps;
}

std::optional<std::vector<ReplayStep>> LoadReplay(const QString& path, const QString& comment,
                                                  const model::KeyboardLayout& layout,
                                                  QString& error) {
    QString reason;
    const std::optional<std::vector<ReadEntry>> entries = ReadHistory(path, comment, reason);
    if (!entries) {
        error = QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), reason);
        return std::nullopt;
    }
    const std::optional<std::vector<ReplayStep>> steps = PlanReplay(layout, *entries, reason);
    if (!steps) {
        error = QStringLiteral("%1, %2").arg(QDir::toNativeSeparators(path), reason);
    } else if (steps->empty()) {
        error = QStringLiteral("%1 holds no keys to play").arg(QDir::toNativeSeparators(path));
        return std::nullopt;
    }
    return steps;
}

} // namespace ombrix::history
