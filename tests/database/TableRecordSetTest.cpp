#include "database/TableRecordSet.h"
#include "database/RecordSetTestDatabase.h"

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

struct SeekCase
{
    const char* index;
    const char* comparison;
    std::vector<Value> key;
    const char* found; // NAME1 of the row found, empty for no match
};

class TableRecordSetSeek : public ::testing::TestWithParam<SeekCase>
{
};

TEST_P(TableRecordSetSeek, FindsTheFirstRowOfTheKey)
{
    RecordSetTestDatabase fixture;
    TableRecordSet prime(fixture.db(), "PRIME");
    prime.setIndex(GetParam().index);
    prime.seek(GetParam().comparison, GetParam().key);
    EXPECT_EQ(prime.noMatch() ? "" : prime.field("name1").toString(), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Indexes, TableRecordSetSeek,
    ::testing::Values(SeekCase{"PRIMARY", "=", {"1000002", "02"}, "Zenith Labs"},
                      SeekCase{"PRIMARY", "=", {"1000002", "03"}, ""},
                      SeekCase{"PRIMARY", ">=", {"1000002"}, "acme widgets"},
                      SeekCase{"KEY2", ">=", {"mi"}, "MILLER & SONS"},
                      SeekCase{"KEY2", ">=", {"ACME"}, "acme widgets"},
                      SeekCase{"KEY2", ">=", {"zz"}, ""},
                      SeekCase{"KEY3", ">=", {"B"}, "acme widgets"}));

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
    for (int step = 0; step < 3; ++step)
        prime.movePrevious();
    EXPECT_EQ(prime.field("NAME1").toString(), "MILLER & SONS");
    prime.movePrevious();
    EXPECT_TRUE(prime.bof());
    EXPECT_THROW(prime.setIndex("KEY9"), DbError);
    EXPECT_THROW(prime.field("NOSUCHFIELD"), DbError);
    EXPECT_THROW(TableRecordSet(fixture.db(), "NOSUCHTABLE"), DbError);
}

TEST(TableRecordSet, AddsEditsAndRefusesADuplicateKey)
{
    RecordSetTestDatabase fixture;
    TableRecordSet notes(fixture.db(), "NOTES");
    notes.setIndex("PRIMARY");
    const auto addRow = [&notes] {
        notes.addNew();
        notes.setField("FILE", "1000001");
        notes.setField("SEQUENCE", "01");
    };
    addRow();
    notes.update();
    addRow();
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
    EXPECT_EQ(fixture.value("SELECT COUNT(*) || MAX(NOTES) FROM NOTES"),
              Value("1Called on Monday"));
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

} // namespace
} // namespace kora::test
