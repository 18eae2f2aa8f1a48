#pragma once

#include "catalogue/InstrumentModel.h"
#include "screen/Measurement.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ombrix::sim {

enum class Page : std::uint8_t { Measure, Menu, SetPoint, Range, Info };

inline constexpr std::array<std::string_view, 4> kMenuItems{"SET POINT", "RANGE", "BACKLIGHT",
                                                            "INFO"};
// Upper ends of the fixed ranges in whole units; 0 is the automatic range.
inline constexpr std::array<std::int64_t, 4> kRanges{0, 20, 200, 1000};

// Longest set point the number entry takes.
inline constexpr std::size_t kMaxEntryLength = 7;

// What the instrument's keys do: a measurement page whose quantity the left and
// right arrows switch, a menu that MENU opens, the arrows move through and ENTER
// opens, a number entry for the set point (also opened by a digit or the point
// on the measurement page), a range list, an information page, HOLD to freeze
// the reading and a backlight key.
class FrontPanel {
public:
    FrontPanel(const KeyCodes& keys, std::uint32_t seed);

    // Applies a key press; false when the code is not one of the instrument's keys.
    bool pressKey(std::uint8_t code);
    // One half-second step of the measurement; nothing moves while HOLD is on.
    void tick();

    Page page() const { return page_; }
    std::size_t menuIndex() const { return menuIndex_; }
    std::size_t rangeCursor() const { return rangeCursor_; }
    std::size_t rangeIndex() const { return rangeIndex_; }
    bool backlight() const { return backlight_; }
    bool hold() const { return hold_; }
    const std::string& entry() const { return entry_; }
    const std::optional<std::string>& setPoint() const { return setPoint_; }
    const Measurement& measurement() const { return measurement_; }

    // The reading lies above the selected fixed range.
    bool overRange() const;
    // The reading lies above the set point.
    bool alarm() const;
    std::string rangeName(std::size_t index) const;

private:
    bool pressNavigationKey(std::uint8_t code);
    bool pressEntryKey(std::uint8_t code);
    void onEnter();
    void onEscape();
    void onMenu();
    void onVertical(int direction);
    void onLeft();
    void onRight();
    void onCharacter(char character);
    void openMenuItem();

    KeyCodes keys_;
    Measurement measurement_;
    Page page_ = Page::Measure;
    std::size_t menuIndex_ = 0;
    std::size_t rangeCursor_ = 0;
    std::size_t rangeIndex_ = 0;
    bool backlight_ = true;
    bool hold_ = false;
    std::string entry_;
    std::optional<std::string> setPoint_;
};

} // namespace ombrix::sim
