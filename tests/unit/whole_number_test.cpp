#include "framework/whole_number.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int32_t Max = std::numeric_limits<int32_t>::max();
constexpr int32_t Min = std::numeric_limits<int32_t>::min();

TEST(LeadingWholeNumber, ReadsBlanksSignAndDigitsUpToTheFirstOtherCharacter)
{
    EXPECT_EQ(leadingWholeNumber("130"), 130);
    EXPECT_EQ(leadingWholeNumber("  \t-2 p3"), -2);
    EXPECT_EQ(leadingWholeNumber("+75X"), 75);
    EXPECT_EQ(leadingWholeNumber("007"), 7);
}

TEST(LeadingWholeNumber, WithoutDigitsItIsZero)
{
    EXPECT_EQ(leadingWholeNumber(nullptr), 0);
    EXPECT_EQ(leadingWholeNumber(""), 0);
    EXPECT_EQ(leadingWholeNumber("GPS_PANEL"), 0);
    EXPECT_EQ(leadingWholeNumber("-"), 0);
    EXPECT_EQ(leadingWholeNumber("- 5"), 0) << "the sign must touch the digits";
    EXPECT_EQ(leadingWholeNumber("--5"), 0);
}

TEST(LeadingWholeNumber, BeyondThirtyTwoBitsItHoldsAtTheNearestEnd)
{
    EXPECT_EQ(leadingWholeNumber("2147483647"), Max);
    EXPECT_EQ(leadingWholeNumber("2147483648"), Max);
    EXPECT_EQ(leadingWholeNumber("-2147483648"), Min);
    EXPECT_EQ(leadingWholeNumber("-2147483649"), Min);
    EXPECT_EQ(leadingWholeNumber("99999999999999999999999999999999999999"), Max);
    EXPECT_EQ(leadingWholeNumber("-99999999999999999999999999999999999999"), Min);
}

}  // namespace
