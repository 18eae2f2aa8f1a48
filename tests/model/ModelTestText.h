#pragma once

#include "model/KeyboardLayout.h"
#include "model/ModelLines.h"

#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <utility>

namespace ombrix::model {

// UTF-16 little-endian bytes of `text`, with a byte-order mark unless told otherwise.
inline QByteArray utf16(const QString& text, bool byteOrderMark = true) {
    const QString all = byteOrderMark ? QChar(0xFEFF) + text : text;
    QByteArray bytes;
    for (const QChar c : all) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

inline ModelLines linesOf(const QString& text) {
    return ModelLines::decode(utf16(text), QStringLiteral("test.def"));
}

inline QString fixture(const char* name) {
    return QStringLiteral(OMBRIX_FIXTURES_DIR "/model/") + QString::fromLatin1(name);
}

// Button sections for keys given as (name, code), each 10 pixels wide in a row.
inline QString buttonsText(std::initializer_list<std::pair<const char*, int>> keys) {
    QString text = QStringLiteral("[ButtonsInfo]\nButtonsCount=%1\n").arg(keys.size());
    int index = 0;
    for (const auto& [name, code] : keys) {
        text += QStringLiteral("[Button%1]\nX=%2\nY=0\nRight=%3\nBottom=10\nKeyCode=0x%4\n"
                               "KeyName=\"%5\"\n")
                    .arg(index)
                    .arg(index * 10)
                    .arg(index * 10 + 10)
                    .arg(code, 2, 16, QChar(u'0'))
                    .arg(QString::fromLatin1(name));
        ++index;
    }
    return text;
}

inline KeyboardLayout layoutOf(const QString& text) {
    return KeyboardLayout::load(linesOf(text), QStringLiteral("test.def"));
}

} // namespace ombrix::model
