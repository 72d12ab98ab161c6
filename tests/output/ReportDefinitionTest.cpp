#include "output/ReportDefinition.h"

#include "base/EmbeddedResources.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

ReportDefinition shipped(const char* name)
{
    return ReportDefinition::parse(std::string(EmbeddedResources::find(name).value_or("")));
}

// Where the labels sit on the sheet is read back from a printed PDF by the batch print test.
TEST(ReportDefinitionTest, ShippedReportsParseWithTheirBands)
{
    for (const char* name : {"KRPRTANY.RPT", "KRPRTSUM.RPT", "KRLABELS.RPT"})
        EXPECT_FALSE(shipped(name).record.items.empty()) << name;
    const ReportDefinition labels = shipped("KRLABELL.RPT");
    EXPECT_EQ(labels.perPage, 30);
    ASSERT_EQ(labels.record.items.size(), 1u);
    EXPECT_EQ(labels.record.items[0].texts,
              (std::vector<std::string>{"{NAME1}", "{NAME2}", "{STREET}", "{CITY} {ST} {ZIP}"}));
    const ReportDefinition detail = shipped("KRPRTALL.RPT");
    ASSERT_EQ(detail.continued.items.size(), 1u);
    EXPECT_EQ(detail.continued.items[0].texts,
              (std::vector<std::string>{"{NAME1} - notes continued"}));
}

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
