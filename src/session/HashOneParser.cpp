#include "session/HashOneParser.h"

#include <boost/spirit/home/x3.hpp>

namespace ombrix::session {

namespace {

namespace x3 = boost::spirit::x3;
namespace wide = x3::standard_wide;
using boost::fusion::at_c;

// Spelled out as plain ranges rather than taken from the C library, whose wide
// character classes follow the user's locale.
const auto kLetter = x3::rule<class LetterTag, wchar_t>{"letter"} =
    wide::char_(L'A', L'Z') | wide::char_(L'a', L'z');
const auto kAlphanumeric = x3::rule<class AlphanumericTag, wchar_t>{"alphanumeric"} =
    wide::char_(L'0', L'9') | wide::char_(L'A', L'Z') | wide::char_(L'a', L'z');
const auto kValueCharacter = wide::char_(L' ', L'~') - wide::char_(L',') - wide::char_(L';');
// The fields are signed 32-bit: a longer number does not match.
const auto kNumber = x3::uint_parser<std::int32_t>{};

template <typename OptionalChar> std::wstring oneCharacter(const OptionalChar& character) {
    return character ? std::wstring(1, *character) : std::wstring();
}

} // namespace

IdentificationResult hashOneParser(std::wstring_view reply) {
    IdentificationResult result;
    // Each action runs only once its alternative has matched whole, so a dotted
    // version that fails half-way leaves nothing behind for the single-number form.
    const auto dotted =
        (kNumber >> L'.' >> kNumber >> L'.' >> kNumber >> -kLetter)[([&result](auto& context) {
            const auto& fields = x3::_attr(context);
            result.firstNumber = at_c<0>(fields);
            result.secondNumber = at_c<1>(fields);
            result.thirdNumber = at_c<2>(fields);
            result.variant = oneCharacter(at_c<3>(fields));
            result.recognised = 3;
        })];
    const auto single = (kNumber >> -kLetter)[([&result](auto& context) {
        const auto& fields = x3::_attr(context);
        result.firstNumber = at_c<0>(fields);
        result.variant = oneCharacter(at_c<1>(fields));
        result.recognised = 1;
    })];
    const auto unit = (kNumber >> -kAlphanumeric)[([&result](auto& context) {
        const auto& fields = x3::_attr(context);
        result.unitType = at_c<0>(fields);
        result.letter = oneCharacter(at_c<1>(fields));
    })];

    const auto versionField = wide::lit(L'W') >> (dotted | single);
    const auto unitField = wide::lit(L'U') >> unit;
    const auto otherField = +kLetter >> +kValueCharacter;
    const auto field = versionField | unitField | otherField;
    const auto grammar = (wide::lit(L"#1,") >> (field % L',')) | wide::lit(L"?;");

    auto first = reply.begin();
    x3::parse(first, reply.end(), grammar);
    return result;
}

} // namespace ombrix::session
