#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace ombrix::model {

// The lines of a model description file as the readers see them: without their
// line ends and converted to upper case, so section names, keys, hexadecimal
// digits and string values all compare in upper case.
class ModelLines {
public:
    // Real model files are a few kilobytes. Every lookup scans the lines of its
    // section, so this bound also bounds the work a hostile file can cause.
    static constexpr qsizetype kMaxBytes = 1024 * 1024;

    ModelLines() = default;

    // Decodes UTF-16 little-endian bytes, with or without a byte-order mark.
    // Throws ModelFileError (naming `sourceName`) for bytes that are too many,
    // an odd count, or not UTF-16 little-endian text.
    static ModelLines decode(QByteArrayView bytes, const QString& sourceName);

    // Splits text at line feeds (dropping a carriage return before each) and
    // upper-cases every line; a byte-order mark at the start is removed.
    static ModelLines fromText(QStringView text);

    const QStringList& lines() const { return lines_; }

    // Index of the line after the first header that equals "[" + upperSection + "]".
    std::optional<qsizetype> sectionBody(const QString& upperSection) const;

private:
    explicit ModelLines(QStringList lines);

    QStringList lines_;
    QHash<QString, qsizetype> firstHeaderLine_;
};

// The value of `key` in `section`: the first line of the section that starts
// with the key (so "DisplayX" also matches "DisplayXOffset=" when that comes
// first). Hexadecimal when the rest holds "0X" (optional "0X", then hex digits),
// otherwise signed decimal up to the first non-digit; no digits read as 0. Values
// beyond 32 bits saturate. A missing section or key gives `defaultValue`.
std::int32_t ReadModelInt(const ModelLines& lines, QStringView section, QStringView key,
                          std::int32_t defaultValue);

// The quoted value of `key` in `section`: the matching line without the key, the
// two characters after it ("=" and the opening quote) and its last character (the
// closing quote); none of those characters is checked.
QString ReadModelString(const ModelLines& lines, QStringView section, QStringView key,
                        const QString& defaultValue);

} // namespace ombrix::model
