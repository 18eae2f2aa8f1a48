#include "document/DocumentName.h"

#include <charconv>
#include <string>

namespace ombrix::document {

namespace {

constexpr QChar kSerialSeparator = u'*';

std::optional<link::Serial> parseSerial(const QString& text) {
    const std::string digits = text.toStdString();
    link::Serial serial = 0;
    const char* end = digits.data() + digits.size();
    const auto [rest, error] = std::from_chars(digits.data(), end, serial);
    if (error != std::errc{} || rest != end) {
        return std::nullopt;
    }
    return serial;
}

} // namespace

QString DocumentName(const session::ModelSelection& selection) {
    return QString::fromStdU16String(selection.modelPath.u16string()) + kSerialSeparator +
           QString::number(selection.serial);
}

std::optional<session::ModelSelection> SplitDocumentName(const QString& name) {
    const qsizetype star = name.lastIndexOf(kSerialSeparator);
    if (star <= 0 || star == name.size() - 1) {
        return std::nullopt;
    }
    const std::optional<link::Serial> serial = parseSerial(name.mid(star + 1));
    if (!serial) {
        return std::nullopt;
    }
    return session::ModelSelection{std::filesystem::path(name.left(star).toStdU16String()),
                                   *serial};
}

} // namespace ombrix::document
