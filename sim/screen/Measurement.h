#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace ombrix::sim {

enum class Quantity : std::uint8_t { DcVolts, AcVolts, Frequency };

// A believable reading: a slow swing around a typical value plus a little noise,
// one new value per step. Values are whole counts of the last digit shown.
class Measurement {
public:
    explicit Measurement(std::uint32_t seed);

    void advance();
    void selectNext();
    void selectPrevious();

    Quantity quantity() const { return quantity_; }
    std::int64_t reading() const { return reading_; }
    // The latest readings of the selected quantity, oldest first.
    const std::deque<std::int64_t>& history() const { return history_; }
    int decimals() const;
    std::string_view name() const;
    std::string_view unit() const;
    // The value at which the bar graph of the automatic range is full.
    std::int64_t fullScale() const;
    // Counts of the last digit in one whole unit: 10 to the decimals.
    std::int64_t countsPerUnit() const;

    // A count as text with the quantity's decimals, for example "12.345".
    std::string format(std::int64_t count) const;
    // Text typed by the user (digits and at most one point) as a count, or nothing.
    std::optional<std::int64_t> parse(std::string_view text) const;

private:
    void select(Quantity quantity);
    std::int64_t noise();

    Quantity quantity_ = Quantity::DcVolts;
    std::uint32_t noiseState_;
    std::uint32_t step_ = 0;
    std::int64_t reading_ = 0;
    std::deque<std::int64_t> history_;
};

} // namespace ombrix::sim
