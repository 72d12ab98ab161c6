#include "lookup/FieldCatalogue.h"

#include <gtest/gtest.h>

#include <vector>

namespace kora::test {
namespace {

TEST(FieldCatalogue, HoldsTheFieldsInEditorOrder)
{
    const std::vector<std::string> captions = {"Expiration Date",
                                               "Experience Mod.",
                                               "Employer Name",
                                               "Zip Code",
                                               "County",
                                               "Class Code",
                                               "SIC Code",
                                               "# of Employees",
                                               "Sales",
                                               "Merit Class",
                                               "Area Code",
                                               "New Records",
                                               "NJ A/R Only",
                                               "File #",
                                               "User1 Field",
                                               "User2 Field",
                                               "User3 Field",
                                               "Issue Year",
                                               "Renews Within (days)",
                                               "Mod Change",
                                               "Years Mod Over 1.00",
                                               "Changed in Last Update"};
    const std::vector<std::string> codes = {
        "EXPIRE", "MOD",    "NAME1",     "ZIP",       "COUNTY",   "CLASS",     "SIC",   "EMPLOYEES",
        "SALES",  "MERIT",  "AREA",      "NEWREC",    "NJARONLY", "FILENUM",   "User1", "User2",
        "User3",  "ISSUE1", "RENEWDAYS", "MODCHANGE", "MODYEARS", "LASTUPDATE"};
    ASSERT_EQ(FieldCatalogue::kCount, 22);
    for (int position = 0; position < FieldCatalogue::kCount; ++position) {
        EXPECT_EQ(FieldCatalogue::caption(position, "PA"), captions[position]);
        EXPECT_EQ(FieldCatalogue::code(position), codes[position]);
    }
    EXPECT_EQ(FieldCatalogue::caption(0, "NY"), "Anniversary");
    EXPECT_EQ(FieldCatalogue::caption(1, "NY"), "Experience Mod.");
    EXPECT_THROW(FieldCatalogue::code(22), std::out_of_range);
}

TEST(FieldCatalogue, TellsWhichFieldsRepeatAndWhereTheyServe)
{
    std::vector<int> repeatable;
    for (int position = 0; position < FieldCatalogue::kCount; ++position)
        if (FieldCatalogue::mayRepeat(position))
            repeatable.push_back(position);
    EXPECT_EQ(repeatable, (std::vector<int>{3, 4, 5, 6, 9, 10}));

    using Form = FieldCatalogue::ValueForm;
    EXPECT_EQ(FieldCatalogue::valueForm(FieldCatalogue::ExpirationDate), Form::MonthDay);
    EXPECT_EQ(FieldCatalogue::valueForm(FieldCatalogue::NjArOnly), Form::MonthYear);
    EXPECT_EQ(FieldCatalogue::valueForm(FieldCatalogue::MeritClass), Form::MeritRating);
    EXPECT_EQ(FieldCatalogue::valueForm(FieldCatalogue::NewRecords), Form::None);

    EXPECT_TRUE(FieldCatalogue::availableIn(FieldCatalogue::MeritClass, "PM"));
    EXPECT_TRUE(FieldCatalogue::availableIn(FieldCatalogue::MeritClass, "DM"));
    EXPECT_FALSE(FieldCatalogue::availableIn(FieldCatalogue::MeritClass, "PA"));
    EXPECT_TRUE(FieldCatalogue::availableIn(FieldCatalogue::NjArOnly, "NJ"));
    EXPECT_FALSE(FieldCatalogue::availableIn(FieldCatalogue::NjArOnly, "NY"));
    EXPECT_TRUE(FieldCatalogue::availableIn(FieldCatalogue::ZipCode, "NY"));
}

} // namespace
} // namespace kora::test
