#include "base/FormPlacement.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

TEST(FormPlacement, CentresAtTwoFifthsOfTheScreenHeight)
{
    const auto placement = FormPlacement::centred(12000, 9000, 4000, 3000);
    EXPECT_EQ(placement.top, 2100);
    EXPECT_EQ(placement.left, 4000);
    // Whole parts are taken before the subtraction.
    const auto odd = FormPlacement::centred(12001, 9001, 4001, 3001);
    EXPECT_EQ(odd.top, 3600 - 1500);
    EXPECT_EQ(odd.left, 6000 - 2000);
}

TEST(FormPlacement, AWindowLargerThanTheScreenGoesToZero)
{
    const auto placement = FormPlacement::centred(9600, 7200, 20000, 9000);
    EXPECT_EQ(placement.top, 0);
    EXPECT_EQ(placement.left, 0);
}

} // namespace
} // namespace kora::test
