#include "session/ModelNaming.h"

namespace ombrix::session {

namespace {

constexpr std::wstring_view kPrefix = L"lum";
constexpr std::wstring_view kExtension = L".def";
constexpr std::wstring_view kUnknownModel = L"lum_unknown.def";
constexpr std::wstring_view kRussianSuffix = L"_ru";
constexpr std::wstring_view kIgnoredVariant = L"b";

// Models whose file names carry more than the unit type.
constexpr std::int32_t kTypeWithLetterA = 745;
constexpr std::int32_t kTypeWithVersionSuffixes = 758;
constexpr std::int32_t kTypeWithPlusModes = 302;
// Version numbers above this select the "_ru" file.
constexpr std::int32_t kRussianVersionAbove = 50;
constexpr std::int32_t kVersionWithLetterA = 4;
// "US" values of the 302 that select its "plus" file.
constexpr std::int32_t kPlusModeLow = 3;
constexpr std::int32_t kPlusModeHigh = 4;

bool between(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

std::wstring variantSuffix(const std::wstring& variant) {
    return variant == kIgnoredVariant ? std::wstring() : variant;
}

std::wstring russianSuffix(std::int32_t number) {
    return std::wstring(number > kRussianVersionAbove ? kRussianSuffix : std::wstring_view());
}

std::wstring versionSuffix(const IdentificationResult& id, std::int32_t mode) {
    if (id.recognised == 1) {
        return variantSuffix(id.variant) + russianSuffix(id.firstNumber % 100);
    }
    if (id.unitType == kTypeWithVersionSuffixes) {
        const std::wstring letter = id.firstNumber >= kVersionWithLetterA ? L"A" : L"";
        return letter + variantSuffix(id.variant) + russianSuffix(id.secondNumber);
    }
    if (id.unitType == kTypeWithPlusModes && between(mode, kPlusModeLow, kPlusModeHigh)) {
        return L"plus";
    }
    return {};
}

} // namespace

std::wstring ModelFileName(const IdentificationResult& identification, std::int32_t mode) {
    if (identification.unitType == 0 || identification.recognised == 0) {
        return std::wstring(kUnknownModel);
    }
    std::wstring name(kPrefix);
    name += std::to_wstring(identification.unitType);
    if (identification.unitType == kTypeWithLetterA && identification.letter == L"A") {
        name += L"A";
    }
    name += versionSuffix(identification, mode);
    name += kExtension;
    return name;
}

std::wstring FamilyFileName(const IdentificationResult& identification) {
    const std::int32_t type = identification.unitType;
    std::wstring name(kPrefix);
    if (type == 601 || between(type, 740, 749)) {
        name += L"74x";
    } else if (type == 605 || between(type, 750, 759)) {
        name += L"75x";
    } else {
        name += L"_unknown";
    }
    name += kExtension;
    return name;
}

} // namespace ombrix::session
