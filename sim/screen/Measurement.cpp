#include "screen/Measurement.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>

namespace ombrix::sim {

namespace {

struct QuantityInfo {
    std::string_view name;
    std::string_view unit;
    int decimals;
    std::int64_t typical;
    std::int64_t swing;
    std::int64_t noise;
    std::int64_t fullScale;
};

constexpr std::array<QuantityInfo, 3> kQuantities{{
    {"DC VOLTS", "V", 3, 12'000, 250, 4, 20'000},
    {"AC VOLTS", "V", 2, 23'000, 150, 6, 30'000},
    {"FREQUENCY", "HZ", 3, 50'000, 40, 3, 100'000},
}};

// Steps of one full swing: 20 s at two steps a second.
constexpr int kSwingPeriod = 40;
// Readings kept for the trend: half a minute.
constexpr std::size_t kHistoryLength = 60;

// Longer whole parts are not a set point any instrument range could reach.
constexpr std::size_t kMaxWholeDigits = 9;

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

const QuantityInfo& infoOf(Quantity quantity) {
    return kQuantities[static_cast<std::size_t>(quantity)];
}

} // namespace

Measurement::Measurement(std::uint32_t seed) : noiseState_(seed == 0 ? 1 : seed) {
    select(Quantity::DcVolts);
}

void Measurement::advance() {
    ++step_;
    const QuantityInfo& info = infoOf(quantity_);
    const double phase = 2.0 * std::numbers::pi * step_ / kSwingPeriod;
    reading_ =
        info.typical + std::llround(static_cast<double>(info.swing) * std::sin(phase)) + noise();
    history_.push_back(reading_);
    if (history_.size() > kHistoryLength) {
        history_.pop_front();
    }
}

std::int64_t Measurement::noise() {
    // xorshift32: a fixed sequence per seed keeps runs reproducible.
    noiseState_ ^= noiseState_ << 13;
    noiseState_ ^= noiseState_ >> 17;
    noiseState_ ^= noiseState_ << 5;
    const std::int64_t spread = infoOf(quantity_).noise;
    return static_cast<std::int64_t>(noiseState_ % static_cast<std::uint32_t>(2 * spread + 1)) -
           spread;
}

void Measurement::select(Quantity quantity) {
    quantity_ = quantity;
    reading_ = infoOf(quantity).typical;
    history_.clear();
}

void Measurement::selectNext() {
    select(static_cast<Quantity>((static_cast<std::size_t>(quantity_) + 1) % kQuantities.size()));
}

void Measurement::selectPrevious() {
    const std::size_t count = kQuantities.size();
    select(static_cast<Quantity>((static_cast<std::size_t>(quantity_) + count - 1) % count));
}

int Measurement::decimals() const {
    return infoOf(quantity_).decimals;
}
std::string_view Measurement::name() const {
    return infoOf(quantity_).name;
}
std::string_view Measurement::unit() const {
    return infoOf(quantity_).unit;
}
std::int64_t Measurement::fullScale() const {
    return infoOf(quantity_).fullScale;
}

std::int64_t Measurement::countsPerUnit() const {
    std::int64_t counts = 1;
    for (int digit = 0; digit < decimals(); ++digit) {
        counts *= 10;
    }
    return counts;
}

std::string Measurement::format(std::int64_t count) const {
    const auto magnitude =
        count < 0 ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
    const auto scale = static_cast<std::uint64_t>(countsPerUnit());
    std::string text = count < 0 ? "-" : "";
    text += std::to_string(magnitude / scale);
    if (decimals() > 0) {
        const std::string fraction = std::to_string(magnitude % scale);
        text += '.';
        text.append(static_cast<std::size_t>(decimals()) - fraction.size(), '0');
        text += fraction;
    }
    return text;
}

std::optional<std::int64_t> Measurement::parse(std::string_view text) const {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || whole.size() > kMaxWholeDigits ||
        !allDigits(whole) || !allDigits(fraction)) {
        return std::nullopt;
    }
    const auto places = static_cast<std::size_t>(decimals());
    std::string digits = std::string(whole) + std::string(fraction.substr(0, places));
    digits.append(places - std::min(places, fraction.size()), '0');
    std::int64_t count = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), count);
    return count;
}

} // namespace ombrix::sim
