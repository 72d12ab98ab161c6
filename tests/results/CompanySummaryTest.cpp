#include "results/CompanySummary.h"

#include "base/FieldName.h"
#include "results/AmountText.h"
#include "results/CityStateZip.h"
#include "results/ModHistory.h"

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
    // The text on the all-companies tab, then on a lookup tab.
    const std::tuple<const char*, const char*, std::string, std::string> cases[] = {
        {"      ", "    ", "ACME TOOL CO\r\n" + address, "ACME TOOL CO\r\n" + address},
        {"DBA ACME  ", "1234", "ACME TOOL CO\r\nDBA ACME\r\n" + address + "-1234",
         "ACME TOOL CO\r\nDBA ACME\r\n" + address + "-1234"},
        {"    X", "", "ACME TOOL CO\r\n" + address, "ACME TOOL CO\r\n    X\r\n" + address}};
    for (const auto& [name2, extension, allCompanies, lookup] : cases) {
        const CompanyRow company = row("NAME1=ACME TOOL CO      ;NAME2=" + std::string(name2) +
                                       ";STREET=12 MAIN ST;CITY=SPRINGFIELD   ;ST=PA;ZIP=19064;"
                                       "ZIPEXT=" +
                                       extension);
        EXPECT_EQ(CompanySummary::text(company, Tab::AllCompanies), allCompanies) << name2;
        EXPECT_EQ(CompanySummary::text(company, Tab::Lookup), lookup) << name2;
    }
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

// Mods newest first, one a year back from 2026, as the mods grid holds them.
std::vector<ResultListData::Mod> mods(const std::vector<Value>& values)
{
    std::vector<ResultListData::Mod> list;
    int year = 2026;
    for (const Value& value : values) {
        const std::string date = std::to_string(year--) + "-07-01";
        list.push_back({date, date, date, value});
    }
    return list;
}

TEST(CompanySummary, ModTrendGivesLatestChangeAndYearsOver)
{
    const std::pair<std::vector<Value>, const char*> cases[] = {
        {{1.046, 1.0, 1.2}, "Latest mod 1.046, +0.046 from the prior mod, 1 year over 1.00"},
        {{0.88, 1.0}, "Latest mod 0.880, \u22120.120 from the prior mod, 0 years over 1.00"},
        {{1.1, 1.1, 1.3}, "Latest mod 1.100, 0.000 from the prior mod, 3 years over 1.00"},
        // A mod of 1.000 ends the run; older mods above it do not count.
        {{1.2, 1.15, 1.0, 1.4, 1.5},
         "Latest mod 1.200, +0.050 from the prior mod, 2 years over 1.00"},
        {{1.3}, "Latest mod 1.300, no prior mod, 1 year over 1.00"},
        {{}, "No mods on file"},
        // A merit rating or a mod without a value is no experience.
        {{9.886, 1.05, Value(), 0.95},
         "Latest mod 1.050, +0.100 from the prior mod, 1 year over 1.00"},
        {{8.888}, "No mods on file"}};
    for (const auto& [values, line] : cases)
        EXPECT_EQ(CompanySummary::modTrend(mods(values)), line);
}

TEST(ModHistory, PointsRunOldestFirst)
{
    const ModHistory history(mods({1.046, 9.884, 0.9}));
    ASSERT_EQ(history.oldestFirst().size(), 2u);
    EXPECT_EQ(history.oldestFirst()[0].effective, "2024-07-01");
    EXPECT_DOUBLE_EQ(history.oldestFirst()[0].mod, 0.9);
    EXPECT_EQ(history.oldestFirst()[1].effective, "2026-07-01");
    EXPECT_DOUBLE_EQ(history.oldestFirst()[1].mod, 1.046);
}

TEST(AmountText, DropsLeadingZerosAndGroupsThousands)
{
    // Each amount as stored, then as shown.
    const char* const cases[] = {"0102384", "102,384", "1234567", "1,234,567", "0000999",
                                 "999",     "0001000", "1,000",   "0000000",   "0",
                                 " 0012 ",  "12",      "",        "",          "   ",
                                 "   ",     "12.50",   "12.50",   "N/A",       "N/A"};
    for (size_t i = 0; i < std::size(cases); i += 2)
        EXPECT_EQ(AmountText::readable(cases[i]), cases[i + 1]) << cases[i];
}

TEST(CityStateZip, SplitsFromTheEndAndNamesTheFirstMissingPart)
{
    // The line, its city|state|zip|extension, and the first missing part.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"Springfield PA 19064-1234", "Springfield|PA|19064|1234", ""},
        {"  New Castle  DE   19720  ", "New Castle|DE|19720|", ""},
        {"King of Prussia PA 19406", "King of Prussia|PA|19406|", ""},
        {"Springfield PA", "Springfield|PA||", "Zip Code"},
        // A part in the wrong form is not taken off and stays in what is before it.
        {"Erie PA 1650-1234", "Erie PA 1650|||1234", "State"},
        {"PA 19064", "PA||19064|", "State"},
        {"Springfield", "Springfield|||", "State"},
        {"19064", "19064|||", "State"},
        {"   ", "|||", "City"},
    };
    for (const auto& [line, parts, missing] : cases) {
        const CityStateZip split = CityStateZip::split(line);
        EXPECT_EQ(split.city + "|" + split.state + "|" + split.zip + "|" + split.zipExtension,
                  parts);
        EXPECT_EQ(split.problem(),
                  *missing ? "Missing " + std::string(missing) + ", Format Must be City ST Zip"
                           : "")
            << line;
    }
}

} // namespace
} // namespace kora::test
