#include "model/ModelFileError.h"

namespace ombrix::model {

ModelFileError::ModelFileError(Kind kind, const QString& message)
    : std::runtime_error(message.toStdString()), kind_(kind) {}

ModelFileError ModelFileError::badFormat(const QString& path) {
    return ModelFileError(Kind::BadFormat, QStringLiteral("%1 has a bad format.").arg(path));
}

ModelFileError ModelFileError::tooMany(const QString& path, const QString& what, qsizetype limit) {
    return ModelFileError(Kind::TooManyEntries,
                          QStringLiteral("%1 has a bad format: %2 exceeds the limit of %3.")
                              .arg(path, what)
                              .arg(limit));
}

ModelFileError ModelFileError::outOfRange(const QString& path, QStringView key, qint64 value,
                                          qint64 minimum, qint64 maximum) {
    return ModelFileError(Kind::BadFormat,
                          QStringLiteral("%1 has a bad format: %2 is %3, outside %4 to %5.")
                              .arg(path, key.toString())
                              .arg(value)
                              .arg(minimum)
                              .arg(maximum));
}

} // namespace ombrix::model
