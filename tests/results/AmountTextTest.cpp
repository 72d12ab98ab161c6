#include "results/AmountText.h"

#include <gtest/gtest.h>

namespace kora {
namespace {

TEST(AmountText, DropsLeadingZerosAndGroupsThousands)
{
    const std::pair<const char*, const char*> cases[] = {{"0102384", "102,384"},
                                                         {"1234567", "1,234,567"},
                                                         {"0000999", "999"},
                                                         {"0001000", "1,000"},
                                                         {"0000000", "0"},
                                                         {" 0012 ", "12"},
                                                         {"", ""},
                                                         {"   ", "   "},
                                                         {"12.50", "12.50"},
                                                         {"N/A", "N/A"}};
    for (const auto& [stored, shown] : cases)
        EXPECT_EQ(AmountText::readable(stored), shown) << stored;
}

} // namespace
} // namespace kora
