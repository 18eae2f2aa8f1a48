#pragma once

#include <QString>
#include <QStringList>
#include <QTime>

namespace ombrix::history {

// What stands between the key names of an entry.
inline const QString kKeySeparator = QStringLiteral(" + ");

// One line of the commands history: the names of the keys of one press, in
// press order, and when it was pressed.
struct HistoryEntry {
    QStringList keys;
    QTime time;

    // The keys joined by " + ", as the history shows and saves them.
    QString Text() const { return keys.join(kKeySeparator); }

    friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

} // namespace ombrix::history
