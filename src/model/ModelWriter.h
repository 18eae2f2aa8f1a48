#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace ombrix::model {

// Builds the text of a model description file line by line: a byte-order mark,
// then section headers and "key=value" lines, each ending with a line feed.
class ModelWriter {
public:
    ModelWriter();

    // "[name]"
    void section(QStringView name);
    // "key=%d"
    void number(QStringView key, std::int32_t value);
    // "key=0x" and at least `digits` upper-case hexadecimal digits.
    void hex(QStringView key, std::uint32_t value, int digits);
    // key="value". Throws ModelFileError for a value holding a line feed, which
    // would split the line and could not be read back.
    void text(QStringView key, QStringView value);

    // The file: UTF-16 little-endian, starting with the byte-order mark.
    QByteArray bytes() const;

private:
    void line(const QString& content);

    QString text_;
};

} // namespace ombrix::model
