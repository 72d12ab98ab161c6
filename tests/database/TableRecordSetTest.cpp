#include "database/TableRecordSet.h"
#include "database/RecordSetTestDatabase.h"
#include "database/Transaction.h"

#include <gtest/gtest.h>

#include <vector>

namespace kora::test {
namespace {

std::vector<std::string> namesInOrder(TableRecordSet& table)
{
    std::vector<std::string> names;
    for (table.moveFirst(); !table.eof(); table.moveNext())
        names.push_back(table.field("NAME1").toString());
    return names;
}

TEST(TableRecordSet, SeeksEachIndex)
{
    RecordSetTestDatabase fixture;
    TableRecordSet prime(fixture.db(), "PRIME");

    prime.setIndex("PRIMARY");
    prime.seek("=", {"1000002", "02"});
    ASSERT_FALSE(prime.noMatch());
    EXPECT_EQ(prime.field("name1").toString(), "Zenith Labs");
    prime.seek("=", {"1000002", "03"});
    EXPECT_TRUE(prime.noMatch());
    prime.seek(">=", {"1000002"});
    ASSERT_FALSE(prime.noMatch());
    EXPECT_EQ(prime.field("SEQUENCE").toString(), "01");

    prime.setIndex("KEY2");
    prime.seek(">=", {"mi"});
    ASSERT_FALSE(prime.noMatch());
    EXPECT_EQ(prime.field("NAME1").toString(), "MILLER & SONS");
    prime.seek(">=", {"ACME"});
    EXPECT_EQ(prime.field("NAME1").toString(), "acme widgets");
    prime.seek(">=", {"zz"});
    EXPECT_TRUE(prime.noMatch());
    EXPECT_TRUE(prime.eof());

    prime.setIndex("KEY3");
    prime.seek(">=", {"B"});
    ASSERT_FALSE(prime.noMatch());
    EXPECT_EQ(prime.field("CountySort").toString(), "Bucks");
}

TEST(TableRecordSet, MovesInIndexOrderRegardlessOfCaseAndEmptyValues)
{
    RecordSetTestDatabase fixture;
    TableRecordSet prime(fixture.db(), "PRIME");
    prime.setIndex("KEY2");
    EXPECT_EQ(namesInOrder(prime), (std::vector<std::string>{"acme widgets", "MILLER & SONS",
                                                             "SMITH TOOL CO", "Zenith Labs"}));

    // The county index holds a company without a county: it comes first, and two
    // county names that differ only in case keep their stored order.
    prime.setIndex("KEY3");
    EXPECT_EQ(namesInOrder(prime), (std::vector<std::string>{"MILLER & SONS", "SMITH TOOL CO",
                                                             "Zenith Labs", "acme widgets"}));
    prime.moveLast();
    EXPECT_EQ(prime.field("NAME1").toString(), "acme widgets");
    prime.movePrevious();
    prime.movePrevious();
    prime.movePrevious();
    EXPECT_EQ(prime.field("NAME1").toString(), "MILLER & SONS");
    prime.movePrevious();
    EXPECT_TRUE(prime.bof());
}

TEST(TableRecordSet, AddsEditsAndRefusesADuplicateKey)
{
    RecordSetTestDatabase fixture;
    TableRecordSet notes(fixture.db(), "NOTES");
    notes.setIndex("PRIMARY");
    notes.addNew();
    notes.setField("FILE", "1000001");
    notes.setField("SEQUENCE", "01");
    notes.setField("NOTES", " ");
    notes.update();

    notes.addNew();
    notes.setField("FILE", "1000001");
    notes.setField("SEQUENCE", "01");
    try {
        notes.update();
        FAIL() << "a second row with the same key was stored";
    } catch (const DbError& error) {
        EXPECT_EQ(error.kind(), DbError::Kind::UniqueViolation);
    }
    notes.cancelUpdate();

    notes.seek("=", {"1000001", "01"});
    ASSERT_FALSE(notes.noMatch());
    notes.edit();
    notes.setField("Notes", "Called on Monday");
    notes.update();
    EXPECT_EQ(notes.field("NOTES").toString(), "Called on Monday");

    Statement count = fixture.db().prepare("SELECT COUNT(*), MAX(NOTES) FROM NOTES");
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.column(0).toInteger(), 1);
    EXPECT_EQ(count.column(1).toString(), "Called on Monday");
}

TEST(TableRecordSet, RefusesAnUnknownIndexOrField)
{
    RecordSetTestDatabase fixture;
    TableRecordSet prime(fixture.db(), "PRIME");
    EXPECT_THROW(prime.setIndex("KEY9"), DbError);
    EXPECT_THROW(prime.field("NOSUCHFIELD"), DbError);
    EXPECT_THROW(TableRecordSet(fixture.db(), "NOSUCHTABLE"), DbError);
}

TEST(Database, RefusesAWrongPasswordAndAMissingFile)
{
    RecordSetTestDatabase fixture;
    Database other;
    try {
        other.open(fixture.path(), ";PWD=secret2");
        FAIL() << "opened with the wrong password";
    } catch (const DbError& error) {
        EXPECT_EQ(error.kind(), DbError::Kind::WrongPassword);
    }
    EXPECT_FALSE(other.isOpen());
    EXPECT_THROW(other.open(fixture.path(), ""), DbError);
    EXPECT_THROW(other.open(fixture.path() + ".missing", RecordSetTestDatabase::kConnect), DbError);
    other.open(fixture.path(), ";pwd=secret1");
    EXPECT_TRUE(other.isOpen());
}

TEST(Database, RollbackLeavesNothingBehind)
{
    RecordSetTestDatabase fixture;
    {
        Transaction transaction(fixture.db());
        fixture.db().execute("DELETE * FROM PRIME");
        fixture.addCompany("2000001", "01", "GONE", "X", "2020-01-01", 1.0);
        // No commit: leaving the scope rolls back.
    }
    fixture.db().begin();
    fixture.db().execute("DELETE FROM PRIME");
    fixture.db().rollback();
    EXPECT_FALSE(fixture.db().inTransaction());

    Statement count = fixture.db().prepare("SELECT COUNT(*) FROM PRIME");
    ASSERT_TRUE(count.step());
    EXPECT_EQ(count.column(0).toInteger(), 4);

    Transaction kept(fixture.db());
    fixture.addCompany("2000001", "01", "KEPT", "X", "2020-01-01", 1.0);
    kept.commit();
    Statement after = fixture.db().prepare("SELECT COUNT(*) FROM PRIME");
    ASSERT_TRUE(after.step());
    EXPECT_EQ(after.column(0).toInteger(), 5);
}

} // namespace
} // namespace kora::test
