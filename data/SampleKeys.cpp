#include "SampleKeys.h"

namespace ombrix::data {

namespace {

// Codes the instrument's shortcuts send; they are no single key's code, so the
// instrument tells a shortcut from its keys.
constexpr std::uint8_t kMenuEnterCode = 0x6D;
constexpr std::uint8_t kUpDownCode = 0x6E;
constexpr std::uint8_t kEscapeHeldCode = 0x6F;

// Numeric pad rows from the top, as on a telephone-style calculator pad.
constexpr int kDigitColumn[10] = {3, 3, 4, 5, 3, 4, 5, 3, 4, 5};
constexpr int kDigitRow[10] = {3, 2, 2, 2, 1, 1, 1, 0, 0, 0};

} // namespace

std::vector<SampleKey> SampleKeys(const sim::KeyCodes& codes) {
    std::vector<SampleKey> keys{
        {"MENU", "MENU", codes.menu, 0, 0},
        {"UP", QString(QChar(0x25B2)), codes.up, 1, 0},
        {"ESC", "ESC", codes.escape, 2, 0},
        {"LEFT", QString(QChar(0x25C0)), codes.left, 0, 1},
        {"OK", "OK", codes.enter, 1, 1},
        {"RIGHT", QString(QChar(0x25B6)), codes.right, 2, 1},
        {"LIGHT", "LIGHT", codes.backlight, 0, 2},
        {"DOWN", QString(QChar(0x25BC)), codes.down, 1, 2},
        {"HOLD", "HOLD", codes.hold, 2, 2},
        {"POINT", ".", codes.point, 4, 3},
    };
    for (int digit = 0; digit < 10; ++digit) {
        const QString text = QString::number(digit);
        keys.push_back({text, text, codes.digits[static_cast<std::size_t>(digit)],
                        kDigitColumn[digit], kDigitRow[digit]});
    }
    return keys;
}

std::vector<QString> SampleBarKeys() {
    return {"MENU", "ESC", "OK", "LEFT", "UP", "RIGHT", "DOWN", "LIGHT", "HOLD"};
}

// Every key sends its own code alone, so each key drawn on the panel or the
// bar does what it says.
model::KeyTables SampleKeyTables(const sim::KeyCodes& codes) {
    model::KeyTables tables;
    for (const SampleKey& key : SampleKeys(codes)) {
        tables.sequences.push_back({{key.code}, key.code});
    }
    tables.sequences.push_back({{codes.menu, codes.enter}, kMenuEnterCode});
    tables.combinations.push_back({{codes.up, codes.down}, kUpDownCode});
    tables.holdKeys.emplace(codes.escape, kEscapeHeldCode);
    return tables;
}

} // namespace ombrix::data
