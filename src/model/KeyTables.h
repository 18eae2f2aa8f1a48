#pragma once

#include "model/KeyButton.h"
#include "model/KeyEntry.h"

#include <QString>
#include <cstdint>
#include <map>
#include <vector>

namespace ombrix::model {

class ModelLines;
class ModelWriter;

// The key tables of a model: "[Sequences]" (keys pressed one after the other),
// "[Combinations]" (a set of keys in any order) and "[HoldKeys]" (a key held
// down). Entries name keys by their buttons' names; in memory they hold codes.
struct KeyTables {
    // Real tables hold a few dozen entries of two or three keys. The bounds keep
    // a broken file from allocating without end: a combination tree grows with
    // the square of an entry's keys.
    static constexpr std::int32_t kMaxEntries = 1024;
    static constexpr qsizetype kMaxEntryKeys = 32;

    std::vector<KeyEntry> sequences;
    std::vector<KeyEntry> combinations;
    std::map<std::uint32_t, std::uint8_t> holdKeys;

    // Reads the three sections. An entry naming a key that no button has is
    // dropped; a later hold entry for a key replaces an earlier one. Throws
    // ModelFileError (naming `sourceName`) for a count above kMaxEntries or an
    // entry with more than kMaxEntryKeys keys.
    static KeyTables LoadKeyTables(const ModelLines& lines, const std::vector<KeyButton>& buttons,
                                   const QString& sourceName);

    // Writes the three sections; each key is written as the name of the first
    // button with its code.
    void StoreKeyTables(ModelWriter& writer, const std::vector<KeyButton>& buttons) const;

    friend bool operator==(const KeyTables&, const KeyTables&) = default;
};

} // namespace ombrix::model
