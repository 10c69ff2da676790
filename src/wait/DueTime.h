#pragma once

#include <cstdint>

// A relative due time in 100-ns units, as the two 32-bit halves of a signed 64-bit count: the
// layout the Windows waitable timer reads.
struct DueTime
{
    std::uint32_t low;
    std::uint32_t high;
};

constexpr std::int64_t kHundredNanosecondsPerSecond = 10'000'000;

constexpr DueTime DueTimeForSeconds(int seconds)
{
    const auto units = static_cast<std::uint64_t>(-static_cast<std::int64_t>(seconds) * kHundredNanosecondsPerSecond);
    return {static_cast<std::uint32_t>(units), static_cast<std::uint32_t>(units >> 32)};
}
