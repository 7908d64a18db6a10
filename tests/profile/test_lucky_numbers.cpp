#include "profile/lucky_numbers.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

TEST(LuckyNumbers, RaisesPastEarlierNumbersInOnePass)
{
    using Drawn = std::array<std::uint32_t, 6>;
    const std::pair<Drawn, profile::LuckyNumbers> cases[] = {
        {{7, 7, 20, 30, 40, 45}, {7, 8, 20, 30, 40, 45}},
        {{6, 5, 5, 30, 40, 45}, {6, 5, 6, 30, 40, 45}},       // raised onto an earlier number
        {{0, 1, 10, 11, 12, 13}, {1, 2, 10, 11, 12, 13}},     // 0 counts as 1
        {{48, 48, 48, 48, 48, 48}, {48, 49, 50, 51, 52, 53}}, // the highest possible
        {{9, 9, 9, 11, 9, 9}, {9, 10, 11, 12, 13, 14}},
    };
    for (const auto& [drawn, numbers] : cases)
        EXPECT_EQ(profile::luckyNumbersFromDrawnValues(drawn), numbers);
}

// Whole draws pin the generator: s := s * 134775813 + 1 (mod 2^32), each value
// the high 32 bits of 49 * s. From seed 0: s1 = 1 gives 0, s2 = 134775814 gives 1.
TEST(LuckyNumbers, WholeDrawsFromFixedSeeds)
{
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0u, "1 2 42 9 13 32"},           // drawn 0, 1, 42, ...: 0 is 1, then 1 is raised to 2
        {1u, "1 42 9 13 32 15"},          // the same sequence one step on
        {45296789u, "23 13 17 1 34 22"},  // 12:34:56.789 UTC
    };
    for (const auto& [seed, text] : cases) {
        int calls = 0;
        EXPECT_EQ(profile::drawLuckyNumbersText([&, s = seed] { ++calls; return s; }), QLatin1String(text)) << seed;
        EXPECT_EQ(calls, 1); // seeded once per draw
    }
}

TEST(LuckyNumbers, ClockIsMillisecondsSinceMidnightUtc)
{
    const int before = QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay();
    const std::uint32_t ours = profile::millisecondsSinceMidnightUtc();
    const int after = QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay();
    if (before <= after) { // not across midnight
        EXPECT_GE(ours, std::uint32_t(before));
        EXPECT_LE(ours, std::uint32_t(after));
    }
}

} // namespace
