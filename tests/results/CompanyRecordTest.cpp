#include "results/CompanyRecord.h"

#include "results/UserDataChanges.h"

#include "support/StateDatabase.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

class CompanyRecordTest : public ::testing::Test, public StateDatabase
{
protected:
    CompanyRecordTest()
    {
        db().execute("INSERT INTO PRIME (FILE, SEQUENCE, NAME1, SIC, User1) VALUES "
                     "('1000001', '02', 'SECOND CO', '1799', 'X'), "
                     "('1000001', '01', 'FIRST CO', '1521', NULL), "
                     "('1000002', '01', 'OTHER FILE', '9999', NULL)");
        db().execute("INSERT INTO SICCODES (CODE, DESC) VALUES ('1521', 'HOME BUILDERS')");
        db().execute("INSERT INTO CLASS (FILE, SEQUENCE, CLASS, CLASSDESC, LOSSCOST) VALUES "
                     "('1000001', '01', '8810', 'CLERICAL', 0.12), "
                     "('1000001', '01', '5645', 'CARPENTRY', 12.5), "
                     "('1000001', '02', '9999', 'NOT MINE', 1)");
    }
};

TEST_F(CompanyRecordTest, ReadsTheCompanyItsClassesAndItsFileNumber)
{
    const CompanyRecord company(db(), "1000001", "01");
    const auto row = company.read();
    ASSERT_TRUE(row);
    EXPECT_EQ(row->text("NAME1"), "FIRST CO");
    EXPECT_EQ(company.sicDescription(row->field("SIC")), "HOME BUILDERS");
    EXPECT_EQ(company.sicDescription(Value("9999")), "");

    const auto classes = company.classes();
    ASSERT_EQ(classes.size(), 2u);
    EXPECT_EQ(classes[0].code, "5645");
    EXPECT_EQ(classes[1].description, "CLERICAL");
    EXPECT_DOUBLE_EQ(classes[1].lossCost.toDouble(), 0.12);

    const auto associates = company.associates();
    ASSERT_EQ(associates.size(), 2u);
    EXPECT_EQ(associates[0].name, "FIRST CO");
    EXPECT_EQ(associates[1].sequence, "02");
    EXPECT_FALSE(CompanyRecord(db(), "7777777", "01").read());
}

TEST_F(CompanyRecordTest, StoresFieldsReturnsTheStoredRowAndCountsOnlyChanges)
{
    CompanyRecord company(db(), "1000001", "02");
    const long long before = UserDataChanges::count();
    const auto stored = company.store({{"User1", Value("!&")}, {"STREET", Value("1 MAIN ST")}});
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->text("User1"), "!&");
    EXPECT_EQ(stored->text("STREET"), "1 MAIN ST");
    EXPECT_EQ(value("SELECT STREET FROM PRIME WHERE FILE = '1000001' AND SEQUENCE = '02'"),
              Value("1 MAIN ST"));
    EXPECT_EQ(UserDataChanges::count() - before, 1);
    company.store({{"STREET", Value("2 OAK ST")}, {"User1", Value("!&")}});
    company.store({{"STREET", Value("2 OAK ST")}});
    EXPECT_EQ(UserDataChanges::count() - before, 2);
    EXPECT_FALSE(CompanyRecord(db(), "7777777", "01").store({{"User1", Value("A")}}));
}

} // namespace
} // namespace kora::test
