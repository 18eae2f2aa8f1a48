#pragma once

#include "catalogue/InstrumentModel.h"
#include "model/KeyTables.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace ombrix::data {

// One key of a sample front panel: its name in the model file, the text printed
// on it, its code and its place in the keypad grid.
struct SampleKey {
    QString name;
    QString label;
    std::uint8_t code = 0;
    int column = 0;
    int row = 0;
};

// The keys every sample model has, with the model's own codes: a navigation
// block on the left and a numeric pad on the right.
std::vector<SampleKey> SampleKeys(const sim::KeyCodes& codes);

// Key names on the keyboard bar, in bar order.
std::vector<QString> SampleBarKeys();

// Tables with a one-key sequence for every key, MENU then OK, UP with DOWN,
// and ESC held.
model::KeyTables SampleKeyTables(const sim::KeyCodes& codes);

inline constexpr int kKeypadColumns = 6;
inline constexpr int kKeypadRows = 4;

} // namespace ombrix::data
