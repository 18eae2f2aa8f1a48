#include "model/ModelLines.h"

#include "model/ModelFileError.h"

#include <algorithm>
#include <limits>

namespace ombrix::model {

namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;
constexpr char16_t kSwappedByteOrderMark = 0xFFFE;
constexpr QStringView kBlanks = u" \t\n\v\f\r";

bool isBlank(QChar c) {
    return kBlanks.contains(c);
}

// Without a byte-order mark the first unit must be plain ASCII: every model file
// starts with a header, a key or a blank line, while 8-bit text (UTF-8 with or
// without its mark) or big-endian text read this way starts with a unit that is
// not. Text holds no U+0000 and no unpaired surrogate.
bool looksLikeUtf16Text(QStringView text) {
    if (!text.isEmpty() && text.front() != kByteOrderMark && text.front().unicode() >= 0x80) {
        return false;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isNull() || c.isLowSurrogate()) {
            return false;
        }
        if (c.isHighSurrogate()) {
            if (i + 1 == text.size() || !text[i + 1].isLowSurrogate()) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

// Reads an optional sign after leading blanks; returns the index after them.
qsizetype skipBlanksAndSign(QStringView text, bool& negative) {
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    return i;
}

// Lines are upper case, so hexadecimal letters are too.
int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

// Hexadecimal values are bit patterns: 0xFFFFFFFF reads as -1, and more digits
// than 32 bits hold saturate at that pattern.
std::int32_t parseHex(QStringView text) {
    bool negative = false;
    qsizetype i = skipBlanksAndSign(text, negative);
    if (text.sliced(i).startsWith(u"0X")) {
        i += 2;
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    for (; i < text.size() && hexDigit(text[i]) >= 0; ++i) {
        value = std::min(value * 16 + static_cast<std::uint64_t>(hexDigit(text[i])), kMax);
    }
    const auto bits = static_cast<std::uint32_t>(value);
    return static_cast<std::int32_t>(negative ? 0u - bits : bits);
}

// Signed decimal up to the first non-digit, saturating at the 32-bit limits.
std::int32_t parseDecimal(QStringView text) {
    bool negative = false;
    qsizetype i = skipBlanksAndSign(text, negative);
    constexpr std::int64_t kMaxMagnitude =
        std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        magnitude = std::min(magnitude * 10 + (text[i].unicode() - u'0'), kMaxMagnitude);
    }
    const std::int64_t value = negative ? -magnitude : std::min(magnitude, kMaxMagnitude - 1);
    return static_cast<std::int32_t>(value);
}

std::int32_t parseModelInt(QStringView text) {
    return text.contains(u"0X") ? parseHex(text) : parseDecimal(text);
}

const QString* findValueLine(const ModelLines& lines, QStringView section,
                             const QString& upperKey) {
    const auto body = lines.sectionBody(section.toString().toUpper());
    if (!body) {
        return nullptr;
    }
    const QStringList& all = lines.lines();
    for (qsizetype i = *body; i < all.size(); ++i) {
        if (all[i].startsWith(u'[')) {
            return nullptr;
        }
        if (all[i].startsWith(upperKey)) {
            return &all[i];
        }
    }
    return nullptr;
}

} // namespace

ModelLines::ModelLines(QStringList lines) : lines_(std::move(lines)) {
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (lines_[i].startsWith(u'[') && !firstHeaderLine_.contains(lines_[i])) {
            firstHeaderLine_.insert(lines_[i], i);
        }
    }
}

ModelLines ModelLines::decode(QByteArrayView bytes, const QString& sourceName) {
    if (bytes.size() > kMaxBytes) {
        throw ModelFileError(
            ModelFileError::Kind::TooLarge,
            QStringLiteral("%1 is larger than %2 bytes, too large for a model description file.")
                .arg(sourceName)
                .arg(kMaxBytes));
    }
    if (bytes.size() % 2 != 0) {
        throw ModelFileError(
            ModelFileError::Kind::Truncated,
            QStringLiteral("%1 is truncated: it ends in the middle of a UTF-16 character.")
                .arg(sourceName));
    }
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto low = static_cast<std::uint8_t>(bytes[2 * i]);
        const auto high = static_cast<std::uint8_t>(bytes[2 * i + 1]);
        text[i] = QChar(static_cast<char16_t>(low | (high << 8)));
    }
    if (!looksLikeUtf16Text(text)) {
        throw ModelFileError(
            ModelFileError::Kind::NotUtf16,
            QStringLiteral("%1 is not a UTF-16 little-endian text file.").arg(sourceName));
    }
    return fromText(text);
}

ModelLines ModelLines::fromText(QStringView text) {
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) {
            end = text.size();
        }
        QStringView line = text.sliced(start, end - start);
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        lines.append(line.toString().toUpper());
        start = end + 1;
    }
    if (!lines.isEmpty() && (lines.front().startsWith(QChar(kByteOrderMark)) ||
                             lines.front().startsWith(QChar(kSwappedByteOrderMark)))) {
        lines.front().remove(0, 1);
    }
    return ModelLines(std::move(lines));
}

std::optional<qsizetype> ModelLines::sectionBody(const QString& upperSection) const {
    const auto found = firstHeaderLine_.constFind(u'[' + upperSection + u']');
    if (found == firstHeaderLine_.constEnd()) {
        return std::nullopt;
    }
    return found.value() + 1;
}

std::int32_t ReadModelInt(const ModelLines& lines, QStringView section, QStringView key,
                          std::int32_t defaultValue) {
    const QString upperKey = key.toString().toUpper();
    const QString* line = findValueLine(lines, section, upperKey);
    if (line == nullptr) {
        return defaultValue;
    }
    return parseModelInt(QStringView(*line).sliced(std::min(upperKey.size() + 1, line->size())));
}

QString ReadModelString(const ModelLines& lines, QStringView section, QStringView key,
                        const QString& defaultValue) {
    const QString upperKey = key.toString().toUpper();
    const QString* line = findValueLine(lines, section, upperKey);
    if (line == nullptr) {
        return defaultValue;
    }
    const qsizetype start = upperKey.size() + 2;
    if (line->size() <= start) {
        return QString();
    }
    return line->sliced(start, line->size() - start - 1);
}

} // namespace ombrix::model
