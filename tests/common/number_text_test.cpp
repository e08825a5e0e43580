#include "common/number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace kestrel {
namespace {

TEST(NumberText, NonNegativeNumbersCarryOneLeadingBlank) {
    EXPECT_EQ(number_text(12), " 12");
    EXPECT_EQ(number_text(0), " 0");
    EXPECT_EQ(number_text(-3), "-3");
    EXPECT_EQ(number_text(std::int64_t{120000}), " 120000");
    EXPECT_EQ(number_text(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(number_text(1.5), " 1.5");
    EXPECT_EQ(number_text(12.0), " 12");
    EXPECT_EQ(number_text(-0.25), "-0.25");
}

TEST(NumberText, RoundsHalvesToTheEvenNeighbour) {
    const struct {
        double value;
        std::int64_t rounded;
    } cases[] = {
        {0.5, 0},   {1.5, 2},    {2.5, 2},    {3.5, 4},   {-0.5, 0}, {-1.5, -2},
        {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {7.0, 7},  {1e15 + 0.5, 1000000000000000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(round_half_even(c.value), c.rounded) << c.value;
}

TEST(NumberText, RoundingNeverOverflows) {
    EXPECT_EQ(round_half_even(std::nan("")), 0);
    EXPECT_EQ(round_half_even(1e300), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(round_half_even(-1e300), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(round_half_even(std::numeric_limits<double>::infinity()),
              std::numeric_limits<std::int64_t>::max());
}

TEST(NumberText, LeadingNumberReadsTheNumberATextStartsWith) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"12:34", 12}, {"  7.025", 7.025}, {"-1.5e2x", -150}, {"+4", 4},       {".5", 0.5}, {"5.", 5},
        {"2E", 2},     {"2E3", 2000},      {"1.2G", 1.2},     {"14.", 14},     {"abc", 0},  {"", 0},
        {"-", 0},      {".", 0},           {"-.", 0},         {"0930", 930},   {"1 2", 1},  {"\t3", 3},
        {"1e-999", 0}, {"599", 599},       {"59+", 59},       {"3.5MHz", 3.5},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(leading_number(c.text), c.value) << c.text;
    EXPECT_TRUE(std::isinf(leading_number("1e999")));
}

} // namespace
} // namespace kestrel
