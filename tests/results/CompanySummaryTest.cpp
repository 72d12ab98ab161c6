#include "results/CompanySummary.h"
#include "base/FieldName.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

// A row of "NAME=value;NAME=value" texts; a field left out has no value.
CompanyRow row(const std::string& fields)
{
    auto columns = std::make_shared<CompanyRow::Columns>();
    std::vector<Value> values;
    for (size_t from = 0; from < fields.size();) {
        const size_t equals = fields.find('=', from);
        const size_t end = std::min(fields.find(';', from), fields.size());
        columns->emplace(foldFieldName(fields.substr(from, equals - from)),
                         static_cast<int>(values.size()));
        values.emplace_back(fields.substr(equals + 1, end - equals - 1));
        from = end + 1;
    }
    return CompanyRow(columns, values);
}

using Tab = CompanySummary::Tab;

TEST(CompanySummary, TextHasNameStreetAndCityLinesAndTheSecondNameByTab)
{
    const std::string address = "12 MAIN ST\r\nSPRINGFIELD, PA  19064";
    // Four blanks before the text: below "   !" (the all-companies tab) but
    // above ten blanks and "!" (the lookup tabs).
    const std::tuple<Tab, const char*, const char*, std::string> cases[] = {
        {Tab::AllCompanies, "      ", "    ", "ACME TOOL CO\r\n" + address},
        {Tab::Lookup, "      ", "    ", "ACME TOOL CO\r\n" + address},
        {Tab::AllCompanies, "DBA ACME  ", "1234",
         "ACME TOOL CO\r\nDBA ACME\r\n" + address + "-1234"},
        {Tab::Lookup, "DBA ACME  ", "1234", "ACME TOOL CO\r\nDBA ACME\r\n" + address + "-1234"},
        {Tab::AllCompanies, "    X", "", "ACME TOOL CO\r\n" + address},
        {Tab::Lookup, "    X", "", "ACME TOOL CO\r\n    X\r\n" + address}};
    for (const auto& [tab, name2, extension, text] : cases)
        EXPECT_EQ(CompanySummary::text(row("NAME1=ACME TOOL CO      ;NAME2=" + std::string(name2) +
                                           ";STREET=12 MAIN ST;CITY=SPRINGFIELD   ;ST=PA;ZIP=19064;"
                                           "ZIPEXT=" +
                                           extension),
                                       tab),
                  text)
            << name2;
}

TEST(CompanySummary, UserContactsWinUnlessBlank)
{
    const CompanyRow contacts = row("PHONE=215-555-0100;UserPhone=   ;FAX=215-555-0101;UserFax=610-"
                                    "555-0199;CONTACT=J SMITH;UserContact=Mary Jones;TITLE=OWNER");
    for (Tab tab : {Tab::AllCompanies, Tab::Lookup}) {
        const auto picked = CompanySummary::contacts(contacts, tab);
        EXPECT_EQ(picked.phone + "|" + picked.fax + "|" + picked.contact + "|" + picked.title,
                  "215-555-0100|610-555-0199|Mary Jones|OWNER");
    }
    // A user title of fifty blanks with a mark after them is filled, but the
    // all-companies tab gives the delivered value back for exactly fifty blanks.
    const CompanyRow blanks = row("TITLE=OWNER;UserTitle=" + std::string(50, ' '));
    EXPECT_EQ(CompanySummary::contacts(blanks, Tab::AllCompanies).title, "OWNER");
}

TEST(CompanySummary, FlagsAndMarkCaption)
{
    const CompanyRow marked = row("Omit=Y;NJAR=9507;User1=!&");
    EXPECT_EQ(CompanySummary::markCaption(marked), "Include");
    EXPECT_EQ(CompanySummary::markCaption(row("Omit= ")), "Exclude");
    EXPECT_TRUE(CompanySummary::assignedRisk(marked, Tab::AllCompanies, "PA"));
    EXPECT_TRUE(CompanySummary::assignedRisk(marked, Tab::Lookup, "NJ"));
    EXPECT_FALSE(CompanySummary::assignedRisk(marked, Tab::Lookup, "PA"));
    EXPECT_FALSE(CompanySummary::assignedRisk(row("Omit=Y"), Tab::Lookup, "NJ"));
    EXPECT_TRUE(CompanySummary::addressOverridden(marked));
    EXPECT_FALSE(CompanySummary::addressOverridden(row("User1=!&X")));
}

} // namespace
} // namespace kora::test
