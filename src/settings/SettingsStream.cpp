#include "settings/SettingsStream.h"

#include "settings/ValueText.h"

#include <QByteArray>
#include <optional>
#include <vector>

namespace ombrix::settings {
namespace {

constexpr std::size_t kPointNumbers = 2;
constexpr std::size_t kRectNumbers = 4;

std::optional<std::vector<std::int32_t>> ReadIntegers(SettingsStream& stream, const QString& name,
                                                      std::size_t count) {
    QString text;
    if (!stream.ReadString(name, text, TextForm::Untyped)) {
        return std::nullopt;
    }
    auto numbers = ParseIntegerList(text);
    if (!numbers || numbers->size() != count) {
        return std::nullopt;
    }
    return numbers;
}

} // namespace

bool SettingsStream::WritePoint(const QString& name, std::int32_t x, std::int32_t y) {
    return WriteString(name, FormatIntegers({x, y}));
}

bool SettingsStream::WriteRect(const QString& name, const Rect& rect) {
    return WriteString(name, FormatIntegers({rect.left, rect.top, rect.right, rect.bottom}));
}

bool SettingsStream::WriteNarrowString(const QString& name, const std::string& text) {
    return WriteString(name,
                       QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())));
}

bool SettingsStream::WriteBool(const QString& name, bool value) {
    return WriteDword(name, value ? 1 : 0);
}

bool SettingsStream::ReadPoint(const QString& name, std::int32_t& x, std::int32_t& y) {
    const auto numbers = ReadIntegers(*this, name, kPointNumbers);
    if (!numbers) {
        return false;
    }
    x = (*numbers)[0];
    y = (*numbers)[1];
    return true;
}

bool SettingsStream::ReadRect(const QString& name, Rect& rect) {
    const auto numbers = ReadIntegers(*this, name, kRectNumbers);
    if (!numbers) {
        return false;
    }
    rect = Rect{(*numbers)[0], (*numbers)[1], (*numbers)[2], (*numbers)[3]};
    return true;
}

bool SettingsStream::ReadNarrowString(const QString& name, std::string& text) {
    QString wide;
    if (!ReadString(name, wide, TextForm::Untyped)) {
        return false;
    }
    text = wide.toLocal8Bit().toStdString();
    return true;
}

bool SettingsStream::ReadBool(const QString& name, bool& value) {
    std::uint32_t number = 0;
    if (!ReadDword(name, number)) {
        return false;
    }
    value = number != 0;
    return true;
}

bool SettingsStream::WriteAddress(const QString& name, std::uint32_t address) {
    return WriteNarrowString(name, FormatAddress(address));
}

bool SettingsStream::ReadAddress(const QString& name, std::uint32_t& address) {
    std::string text;
    if (!ReadNarrowString(name, text)) {
        return false;
    }
    const auto parsed = ParseAddress(text);
    if (!parsed) {
        return false;
    }
    address = *parsed;
    return true;
}

} // namespace ombrix::settings
