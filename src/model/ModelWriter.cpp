#include "model/ModelWriter.h"

#include "model/ModelFileError.h"

namespace ombrix::model {

ModelWriter::ModelWriter() : text_(QChar(0xFEFF)) {}

void ModelWriter::section(QStringView name) {
    line(u'[' + name.toString() + u']');
}

void ModelWriter::number(QStringView key, std::int32_t value) {
    line(key.toString() + u'=' + QString::number(value));
}

void ModelWriter::hex(QStringView key, std::uint32_t value, int digits) {
    line(key.toString() + QStringLiteral("=0x") +
         QString::number(value, 16).toUpper().rightJustified(digits, u'0'));
}

void ModelWriter::text(QStringView key, QStringView value) {
    if (value.contains(u'\n')) {
        throw ModelFileError(
            ModelFileError::Kind::Unstorable,
            QStringLiteral("The value of %1 holds a line break and cannot be stored.").arg(key));
    }
    line(key.toString() + QStringLiteral("=\"") + value.toString() + u'"');
}

QByteArray ModelWriter::bytes() const {
    QByteArray out(text_.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text_.size(); ++i) {
        const char16_t unit = text_[i].unicode();
        out[2 * i] = static_cast<char>(unit & 0xFF);
        out[2 * i + 1] = static_cast<char>(unit >> 8);
    }
    return out;
}

void ModelWriter::line(const QString& content) {
    text_ += content;
    text_ += u'\n';
}

} // namespace ombrix::model
