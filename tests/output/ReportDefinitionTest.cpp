#include "output/ReportDefinition.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

// The shipped definitions are read by every print: the print tests check their pages.
TEST(ReportDefinitionTest, FaultsNameTheirLine)
{
    const struct
    {
        const char* text;
        const char* message;
    } cases[] = {
        {"page 8.5 11\nrecord 1\n  text 0 0 body \"{NAME1}\"\n", "line 3: unknown font body"},
        {"text 0 0 body \"x\"\n", "line 1: text stands outside a band"},
        {"font body \"Liberation Sans 9\n", "line 1: a quote is not closed"},
        {"# comment\npage 8.5\n", "line 2: a value is missing"},
        {"record 1\n  circle 0 0\n", "line 2: unknown statement circle"},
    };
    for (const auto& fault : cases) {
        try {
            ReportDefinition::parse(fault.text);
            ADD_FAILURE() << fault.text;
        } catch (const ReportDefinition::ParseError& error) {
            EXPECT_EQ(std::string(error.what()), fault.message);
        }
    }
}

} // namespace
} // namespace kora::test
