#include "settings/SettingsStream.h"

#include "settings/ValueText.h"

#include <optional>
#include <vector>

namespace ombrix::settings {
namespace {

constexpr std::size_t kRectNumbers = 4;

std::optional<std::vector<std::int32_t>> ReadIntegers(SettingsStream& stream, const QString& name,
                                                      std::size_t count) {
    QString text;
    if (!stream.ReadString(name, text)) {
        return std::nullopt;
    }
    auto numbers = ParseIntegerList(text);
    if (!numbers || numbers->size() != count) {
        return std::nullopt;
    }
    return numbers;
}

} // namespace

bool SettingsStream::WriteRect(const QString& name, const base::Rect& rect) {
    return WriteString(name, FormatIntegers({rect.left, rect.top, rect.right, rect.bottom}));
}

bool SettingsStream::WriteBool(const QString& name, bool value) {
    return WriteDword(name, value ? 1 : 0);
}

bool SettingsStream::ReadRect(const QString& name, base::Rect& rect) {
    const auto numbers = ReadIntegers(*this, name, kRectNumbers);
    if (!numbers) {
        return false;
    }
    rect = base::Rect{(*numbers)[0], (*numbers)[1], (*numbers)[2], (*numbers)[3]};
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

} // namespace ombrix::settings
