#include "model/KeyTables.h"

#include "model/ModelFileError.h"
#include "model/ModelLines.h"
#include "model/ModelWriter.h"

#include <QHash>
#include <optional>

namespace ombrix::model {

namespace {

struct TableSection {
    QStringView name;
    QStringView countKey;
};

constexpr TableSection kSequences{u"Sequences", u"SequencesNumber"};
constexpr TableSection kCombinations{u"Combinations", u"CombinationsNumber"};
constexpr TableSection kHoldKeys{u"HoldKeys", u"HoldKeysNumber"};
constexpr int kCodeDigits = 2;

using CodesByName = QHash<QString, std::uint32_t>;

// The first button with a name gives its code; an empty name names no key.
CodesByName codesByName(const std::vector<KeyButton>& buttons) {
    CodesByName codes;
    for (const KeyButton& button : buttons) {
        if (!button.keyName.isEmpty() && !codes.contains(button.keyName)) {
            codes.insert(button.keyName, button.keyCode);
        }
    }
    return codes;
}

QString nameOfCode(const std::vector<KeyButton>& buttons, std::uint32_t code) {
    for (const KeyButton& button : buttons) {
        if (button.keyCode == code) {
            return button.keyName;
        }
    }
    return QString();
}

// The codes of the "+"-separated names, or nothing when one names no key.
std::optional<std::vector<std::uint32_t>> entryKeys(const QString& names, const CodesByName& codes,
                                                    const QString& what,
                                                    const QString& sourceName) {
    const QStringList pieces = names.split(u'+');
    if (pieces.size() > KeyTables::kMaxEntryKeys) {
        throw ModelFileError::tooMany(sourceName,
                                      what + QStringLiteral(" with %1 keys").arg(pieces.size()),
                                      KeyTables::kMaxEntryKeys);
    }
    std::vector<std::uint32_t> keys;
    for (const QString& piece : pieces) {
        const auto found = codes.constFind(piece);
        if (found == codes.constEnd()) {
            return std::nullopt;
        }
        keys.push_back(found.value());
    }
    return keys;
}

std::vector<KeyEntry> readEntries(const ModelLines& lines, TableSection section,
                                  const CodesByName& codes, const QString& sourceName) {
    const std::int32_t count = ReadModelInt(lines, section.name, section.countKey, 0);
    if (count > KeyTables::kMaxEntries) {
        throw ModelFileError::tooMany(sourceName,
                                      QStringLiteral("%1 %2").arg(section.countKey).arg(count),
                                      KeyTables::kMaxEntries);
    }
    std::vector<KeyEntry> entries;
    for (std::int32_t i = 0; i < count; ++i) {
        const QString index = QString::number(i);
        const QString names = ReadModelString(lines, section.name, u's' + index, QString());
        const QString what = QStringLiteral("entry s%1 of [%2]").arg(index, section.name);
        auto keys = entryKeys(names, codes, what, sourceName);
        if (keys) {
            const auto code =
                static_cast<std::uint8_t>(ReadModelInt(lines, section.name, u'v' + index, 0));
            entries.push_back({std::move(*keys), code});
        }
    }
    return entries;
}

void writeEntry(ModelWriter& writer, std::size_t index, const QString& names, std::uint8_t code) {
    const QString number = QString::number(index);
    writer.text(u's' + number, names);
    writer.hex(u'v' + number, code, kCodeDigits);
}

void writeEntries(ModelWriter& writer, TableSection section, const std::vector<KeyEntry>& entries,
                  const std::vector<KeyButton>& buttons) {
    writer.section(section.name);
    writer.number(section.countKey, static_cast<std::int32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        QStringList names;
        for (const std::uint32_t key : entries[i].keys) {
            names.append(nameOfCode(buttons, key));
        }
        writeEntry(writer, i, names.join(u'+'), entries[i].code);
    }
}

} // namespace

KeyTables KeyTables::LoadKeyTables(const ModelLines& lines, const std::vector<KeyButton>& buttons,
                                   const QString& sourceName) {
    const CodesByName codes = codesByName(buttons);
    KeyTables tables;
    tables.sequences = readEntries(lines, kSequences, codes, sourceName);
    tables.combinations = readEntries(lines, kCombinations, codes, sourceName);
    for (const KeyEntry& hold : readEntries(lines, kHoldKeys, codes, sourceName)) {
        tables.holdKeys[hold.keys.front()] = hold.code;
    }
    return tables;
}

void KeyTables::StoreKeyTables(ModelWriter& writer, const std::vector<KeyButton>& buttons) const {
    writeEntries(writer, kSequences, sequences, buttons);
    writeEntries(writer, kCombinations, combinations, buttons);
    writer.section(kHoldKeys.name);
    writer.number(kHoldKeys.countKey, static_cast<std::int32_t>(holdKeys.size()));
    std::size_t index = 0;
    for (const auto& [key, code] : holdKeys) {
        writeEntry(writer, index++, nameOfCode(buttons, key), code);
    }
}

} // namespace ombrix::model
