#include "results/CompanySummary.h"
#include "base/FieldName.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

CompanyRow makeRow(const std::map<std::string, Value>& fields)
{
    auto columns = std::make_shared<CompanyRow::Columns>();
    std::vector<Value> values;
    for (const auto& [name, value] : fields) {
        columns->emplace(foldFieldName(name), static_cast<int>(values.size()));
        values.push_back(value);
    }
    return CompanyRow(columns, values);
}

using Tab = CompanySummary::Tab;

TEST(CompanySummary, TextHasNameStreetAndCityLines)
{
    const auto text = [](const char* name2, const char* zipExtension, Tab tab) {
        return CompanySummary::text(makeRow({{"NAME1", "ACME TOOL CO      "},
                                             {"NAME2", name2},
                                             {"STREET", "12 MAIN ST"},
                                             {"CITY", "SPRINGFIELD   "},
                                             {"ST", "PA"},
                                             {"ZIP", "19064"},
                                             {"ZIPEXT", zipExtension}}),
                                    tab);
    };
    for (Tab tab : {Tab::AllCompanies, Tab::Lookup}) {
        EXPECT_EQ(text("      ", "    ", tab),
                  "ACME TOOL CO\r\n12 MAIN ST\r\nSPRINGFIELD, PA  19064");
        EXPECT_EQ(text("DBA ACME  ", "1234", tab),
                  "ACME TOOL CO\r\nDBA ACME\r\n12 MAIN ST\r\nSPRINGFIELD, PA  19064-1234");
    }
}

TEST(CompanySummary, SecondNameThresholdDiffersByTab)
{
    // Four blanks before the text: below "   !" (the all-companies tab) but
    // above ten blanks and "!" (the lookup tabs).
    const CompanyRow row = makeRow({{"NAME1", "A"}, {"NAME2", "    X"}});
    EXPECT_EQ(CompanySummary::text(row, Tab::AllCompanies).find("X"), std::string::npos);
    EXPECT_NE(CompanySummary::text(row, Tab::Lookup).find("\r\n    X\r\n"), std::string::npos);
}

TEST(CompanySummary, UserContactsWinUnlessBlank)
{
    const CompanyRow row = makeRow({{"PHONE", "215-555-0100"},
                                    {"UserPhone", "   "},
                                    {"FAX", "215-555-0101"},
                                    {"UserFax", "610-555-0199"},
                                    {"CONTACT", "J SMITH"},
                                    {"UserContact", "Mary Jones"},
                                    {"TITLE", "OWNER"},
                                    {"UserTitle", Value()}});
    for (Tab tab : {Tab::AllCompanies, Tab::Lookup}) {
        const auto contacts = CompanySummary::contacts(row, tab);
        EXPECT_EQ(contacts.phone, "215-555-0100");
        EXPECT_EQ(contacts.fax, "610-555-0199");
        EXPECT_EQ(contacts.contact, "Mary Jones");
        EXPECT_EQ(contacts.title, "OWNER");
    }
    // A user title of fifty blanks with a mark after them is filled, but the
    // all-companies tab gives the delivered value back for exactly fifty blanks.
    const CompanyRow blanks = makeRow({{"TITLE", "OWNER"}, {"UserTitle", std::string(50, ' ')}});
    EXPECT_EQ(CompanySummary::contacts(blanks, Tab::AllCompanies).title, "OWNER");
}

TEST(CompanySummary, FlagsAndMarkCaption)
{
    const CompanyRow marked = makeRow({{"Omit", "Y"}, {"NJAR", 9507.0}, {"User1", "!&"}});
    EXPECT_EQ(CompanySummary::markCaption(marked), "Include");
    EXPECT_EQ(CompanySummary::markCaption(makeRow({{"Omit", " "}})), "Exclude");
    EXPECT_TRUE(CompanySummary::assignedRisk(marked, Tab::AllCompanies, "PA"));
    EXPECT_TRUE(CompanySummary::assignedRisk(marked, Tab::Lookup, "NJ"));
    EXPECT_FALSE(CompanySummary::assignedRisk(marked, Tab::Lookup, "PA"));
    EXPECT_FALSE(CompanySummary::assignedRisk(makeRow({{"NJAR", Value()}}), Tab::Lookup, "NJ"));
    EXPECT_TRUE(CompanySummary::addressOverridden(marked));
    EXPECT_FALSE(CompanySummary::addressOverridden(makeRow({{"User1", "!&X"}})));
}

} // namespace
} // namespace kora::test
