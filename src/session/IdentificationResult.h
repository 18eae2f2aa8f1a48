#pragma once

#include <cstdint>
#include <string>

namespace ombrix::session {

// The fields of an identification reply that name the instrument's model. Every
// field keeps its initial value when the reply does not carry it.
struct IdentificationResult {
    std::int32_t unitType = 0;
    std::int32_t firstNumber = 0;
    std::int32_t secondNumber = 0;
    std::int32_t thirdNumber = 0;
    // Form of the "W" field: 3 for a.b.c, 1 for a single number, 0 without one.
    std::int32_t recognised = 0;
    std::wstring letter{};  // the character after the unit-type number
    std::wstring variant{}; // the letter after the "W" version

    bool operator==(const IdentificationResult&) const = default;
};

} // namespace ombrix::session
