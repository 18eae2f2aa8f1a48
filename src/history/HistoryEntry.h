#pragma once

#include <QString>
#include <QStringList>
#include <QTime>
#include <utility>

namespace ombrix::history {

// What stands between the key names of an entry.
inline const QString kKeySeparator = QStringLiteral(" + ");
// What follows the key name of a hold.
inline const QString kHoldSuffix = QStringLiteral(" (hold)");
// What starts a line that is no key entry.
inline const QString kNotePrefix = QStringLiteral("# ");

// One line of the commands history: the names of the keys of one press, in
// press order, and when it was pressed; or a note about the session (another
// instrument connected), which play back skips.
struct HistoryEntry {
    QStringList keys;
    QTime time;
    // The one key was held for its hold code.
    bool hold = false;
    // Not empty for a note; the entry then has no keys.
    QString note;

    static HistoryEntry Keys(QStringList keys, QTime time, bool hold = false) {
        return {std::move(keys), time, hold, {}};
    }
    static HistoryEntry Note(QString text, QTime time) {
        return {{}, time, false, std::move(text)};
    }

    bool IsNote() const { return !note.isEmpty(); }
    // As the history shows and saves it: the keys joined by " + ", " (hold)"
    // after a held key; a note after "# ".
    QString Text() const {
        if (IsNote()) {
            return kNotePrefix + note;
        }
        return keys.join(kKeySeparator) + (hold ? kHoldSuffix : QString());
    }

    friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

} // namespace ombrix::history
