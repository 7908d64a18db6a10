// Lucky numbers: six numbers from a small linear congruential generator seeded
// with the time of day, raised past earlier numbers in one pass, and shown as
// one line of text ("7 8 23 1 40 12").
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace profile {

inline constexpr int kLuckyNumberCount = 6;
using LuckyNumbers = std::array<int, kLuckyNumberCount>;

// s := s * 134775813 + 1 (mod 2^32); the value below a bound R is the high 32
// bits of R * s.
class LuckyNumberGenerator {
public:
    explicit LuckyNumberGenerator(std::uint32_t seed) : state_(seed) {}
    std::uint32_t nextBelow(std::uint32_t bound);

private:
    std::uint32_t state_;
};

// Milliseconds since midnight UTC, the generator's seed.
using TimeOfDayClock = std::function<std::uint32_t()>;
std::uint32_t millisecondsSinceMidnightUtc();

// The numbers from six values drawn below 49, in order: a 0 counts as 1, and
// each value is compared once with every earlier number, in order, and raised by
// one on each match. This single pass can still land on an earlier number
// (6, 5, 5 gives 6, 5, 6); that is how the draw has always behaved.
LuckyNumbers luckyNumbersFromDrawnValues(const std::array<std::uint32_t, kLuckyNumberCount>& drawn);

// A whole draw from one seed.
LuckyNumbers drawLuckyNumbers(std::uint32_t seed);

// The numbers in decimal, in drawn order, joined by single blanks.
QString luckyNumbersText(const LuckyNumbers& numbers);

// The draw the lucky-number button makes: seeded once from `clock`.
QString drawLuckyNumbersText(const TimeOfDayClock& clock = millisecondsSinceMidnightUtc);

} // namespace profile
