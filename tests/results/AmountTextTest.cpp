#include "results/AmountText.h"

#include <gtest/gtest.h>

namespace kora {
namespace {

struct AmountCase
{
    const char* stored;
    const char* shown;
};

class AmountTextTest : public ::testing::TestWithParam<AmountCase>
{
};

TEST_P(AmountTextTest, DropsLeadingZerosAndGroupsThousands)
{
    EXPECT_EQ(AmountText::readable(GetParam().stored), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Amounts, AmountTextTest,
                         ::testing::Values(AmountCase{"0102384", "102,384"},
                                           AmountCase{"1234567", "1,234,567"},
                                           AmountCase{"0000999", "999"},
                                           AmountCase{"0001000", "1,000"},
                                           AmountCase{"0000000", "0"}, AmountCase{" 0012 ", "12"},
                                           AmountCase{"", ""}, AmountCase{"   ", "   "},
                                           AmountCase{"12.50", "12.50"}, AmountCase{"N/A", "N/A"}));

} // namespace
} // namespace kora
