#pragma once

#include <QString>
#include <stdexcept>

namespace ombrix::model {

// Why a model description file could not be read or written. The message is
// meant for the user and names the file.
class ModelFileError : public std::runtime_error {
public:
    enum class Kind {
        CannotRead,
        CannotWrite,
        TooLarge,
        Truncated,
        NotUtf16,
        BadFormat,
        TooManyEntries,
        Unstorable,
    };

    ModelFileError(Kind kind, const QString& message);

    Kind kind() const noexcept { return kind_; }
    QString message() const { return QString::fromStdString(what()); }

    // "%1 has a bad format.", the refusal the framework gave for a file it could not use.
    static ModelFileError badFormat(const QString& path);
    // A count or size in the file beyond what this program accepts; `what` says which.
    static ModelFileError tooMany(const QString& path, const QString& what, qsizetype limit);
    // A value of the file outside the range this program can draw.
    static ModelFileError outOfRange(const QString& path, QStringView key, qint64 value,
                                     qint64 minimum, qint64 maximum);

private:
    Kind kind_;
};

} // namespace ombrix::model
