#include "base/FormPlacement.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

TEST(FormPlacement, CentresAtTwoFifthsOfTheScreenHeightAndNeverOffIt)
{
    const auto at = [](long screenWidth, long screenHeight, long width, long height) {
        const auto placement = FormPlacement::centred(screenWidth, screenHeight, width, height);
        return std::pair(placement.top, placement.left);
    };
    EXPECT_EQ(at(12000, 9000, 4000, 3000), std::pair(2100L, 4000L));
    // Whole parts are taken before the subtraction.
    EXPECT_EQ(at(12001, 9001, 4001, 3001), std::pair(3600L - 1500, 6000L - 2000));
    EXPECT_EQ(at(9600, 7200, 20000, 9000), std::pair(0L, 0L));
}

} // namespace
} // namespace kora::test
