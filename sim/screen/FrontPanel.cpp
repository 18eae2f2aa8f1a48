#include "screen/FrontPanel.h"

#include <algorithm>

namespace ombrix::sim {

namespace {

enum MenuItem : std::size_t { kSetPointItem, kRangeItem, kBacklightItem, kInfoItem };

std::size_t wrapped(std::size_t index, int direction, std::size_t count) {
    const auto step = direction > 0 ? std::size_t{1} : count - 1;
    return (index + step) % count;
}

} // namespace

FrontPanel::FrontPanel(const KeyCodes& keys, std::uint32_t seed)
    : keys_(keys), measurement_(seed) {}

void FrontPanel::tick() {
    if (!hold_) {
        measurement_.advance();
    }
}

bool FrontPanel::pressKey(std::uint8_t code) {
    if (code == keys_.backlight) {
        backlight_ = !backlight_;
        return true;
    }
    if (code == keys_.hold) {
        hold_ = !hold_;
        return true;
    }
    return pressNavigationKey(code) || pressEntryKey(code);
}

bool FrontPanel::pressNavigationKey(std::uint8_t code) {
    if (code == keys_.enter) {
        onEnter();
    } else if (code == keys_.escape) {
        onEscape();
    } else if (code == keys_.menu) {
        onMenu();
    } else if (code == keys_.up) {
        onVertical(-1);
    } else if (code == keys_.down) {
        onVertical(1);
    } else if (code == keys_.left) {
        onLeft();
    } else if (code == keys_.right) {
        onRight();
    } else {
        return false;
    }
    return true;
}

bool FrontPanel::pressEntryKey(std::uint8_t code) {
    if (code == keys_.point) {
        onCharacter('.');
        return true;
    }
    const auto digit = std::find(keys_.digits.begin(), keys_.digits.end(), code);
    if (digit == keys_.digits.end()) {
        return false;
    }
    onCharacter(static_cast<char>('0' + (digit - keys_.digits.begin())));
    return true;
}

void FrontPanel::onEnter() {
    switch (page_) {
    case Page::Menu:
        openMenuItem();
        break;
    case Page::SetPoint:
        if (measurement_.parse(entry_)) {
            setPoint_ = entry_;
            page_ = Page::Measure;
        }
        break;
    case Page::Range:
        rangeIndex_ = rangeCursor_;
        page_ = Page::Menu;
        break;
    case Page::Info:
        page_ = Page::Menu;
        break;
    case Page::Measure:
        break;
    }
}

void FrontPanel::openMenuItem() {
    switch (menuIndex_) {
    case kSetPointItem:
        entry_.clear();
        page_ = Page::SetPoint;
        break;
    case kRangeItem:
        rangeCursor_ = rangeIndex_;
        page_ = Page::Range;
        break;
    case kBacklightItem:
        backlight_ = !backlight_;
        break;
    default:
        page_ = Page::Info;
        break;
    }
}

void FrontPanel::onEscape() {
    if (page_ == Page::Menu) {
        page_ = Page::Measure;
    } else if (page_ != Page::Measure) {
        page_ = Page::Menu;
    }
}

void FrontPanel::onMenu() {
    if (page_ == Page::Measure) {
        menuIndex_ = 0;
        page_ = Page::Menu;
    } else {
        page_ = Page::Measure;
    }
}

void FrontPanel::onVertical(int direction) {
    if (page_ == Page::Menu) {
        menuIndex_ = wrapped(menuIndex_, direction, kMenuItems.size());
    } else if (page_ == Page::Range) {
        rangeCursor_ = wrapped(rangeCursor_, direction, kRanges.size());
    }
}

void FrontPanel::onLeft() {
    if (page_ == Page::Measure) {
        measurement_.selectPrevious();
    } else if (page_ == Page::SetPoint && !entry_.empty()) {
        entry_.pop_back();
    }
}

void FrontPanel::onRight() {
    if (page_ == Page::Measure) {
        measurement_.selectNext();
    }
}

// On the measurement page a digit or the point starts a new set point, as on
// instruments with a numeric pad.
void FrontPanel::onCharacter(char character) {
    if (page_ == Page::Measure) {
        entry_.clear();
        page_ = Page::SetPoint;
    }
    const bool secondPoint = character == '.' && entry_.find('.') != std::string::npos;
    if (page_ == Page::SetPoint && entry_.size() < kMaxEntryLength && !secondPoint) {
        entry_.push_back(character);
    }
}

bool FrontPanel::overRange() const {
    if (rangeIndex_ == 0) {
        return false;
    }
    return measurement_.reading() > kRanges[rangeIndex_] * measurement_.countsPerUnit();
}

bool FrontPanel::alarm() const {
    const auto limit = setPoint_ ? measurement_.parse(*setPoint_) : std::nullopt;
    return limit && measurement_.reading() > *limit;
}

std::string FrontPanel::rangeName(std::size_t index) const {
    if (index == 0 || index >= kRanges.size()) {
        return "AUTO";
    }
    return std::to_string(kRanges[index]) + " " + std::string(measurement_.unit());
}

} // namespace ombrix::sim
