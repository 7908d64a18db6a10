#include "profile/lucky_numbers.h"

#include <QStringList>

#include <chrono>

namespace profile {

namespace {
constexpr std::uint32_t kMultiplier = 134775813u;
constexpr std::uint32_t kDrawBound = 49; // values 0 to 48
constexpr std::uint32_t kMillisecondsPerDay = 24u * 60u * 60u * 1000u;
} // namespace

std::uint32_t LuckyNumberGenerator::nextBelow(std::uint32_t bound)
{
    state_ = state_ * kMultiplier + 1u; // unsigned arithmetic wraps modulo 2^32
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(bound) * state_) >> 32);
}

std::uint32_t millisecondsSinceMidnightUtc()
{
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    // The system clock counts UTC days of exactly 86 400 000 ms.
    const auto ms = sinceEpoch.count() % kMillisecondsPerDay;
    return static_cast<std::uint32_t>(ms < 0 ? ms + kMillisecondsPerDay : ms);
}

LuckyNumbers luckyNumbersFromDrawnValues(const std::array<std::uint32_t, kLuckyNumberCount>& drawn)
{
    LuckyNumbers numbers{};
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        int r = static_cast<int>(drawn[k]);
        if (r == 0)
            r = 1;
        for (std::size_t j = 0; j < k; ++j) {
            if (r == numbers[j])
                ++r;
        }
        numbers[k] = r;
    }
    return numbers;
}

LuckyNumbers drawLuckyNumbers(std::uint32_t seed)
{
    LuckyNumberGenerator generator(seed);
    std::array<std::uint32_t, kLuckyNumberCount> drawn{};
    for (auto& value : drawn)
        value = generator.nextBelow(kDrawBound);
    return luckyNumbersFromDrawnValues(drawn);
}

QString luckyNumbersText(const LuckyNumbers& numbers)
{
    QStringList parts;
    for (const int n : numbers)
        parts << QString::number(n);
    return parts.join(QLatin1Char(' '));
}

QString drawLuckyNumbersText(const TimeOfDayClock& clock)
{
    return luckyNumbersText(drawLuckyNumbers(clock()));
}

} // namespace profile
