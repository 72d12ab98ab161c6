#include "base/StateCodes.h"
#include "database/ConnectString.h"
#include "database/DbError.h"
#include "database/ForwardCursor.h"
#include "database/Installation.h"
#include "database/QueryRecordSet.h"
#include "database/RecordSetTest.h"
#include "database/Schema.h"
#include "database/SqlDialect.h"
#include "database/TableRecordSet.h"
#include "database/Transaction.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

namespace kora::test {
namespace {

using Names = std::vector<std::string>;
namespace fs = std::filesystem;

DbError::Kind errorKind(const std::function<void()>& action)
{
    try {
        action();
    } catch (const DbError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "no DbError";
    return DbError::Kind::General;
}

TEST_P(RecordSetTest, QueryRecordSetMovesCountsAndFinds)
{
    QueryRecordSet rows(db(), "SELECT * FROM PRIME ORDER BY NAME1");
    ASSERT_FALSE(rows.eof());
    EXPECT_EQ(rows.field("NAME1").toString(), "acme widgets");
    EXPECT_EQ(rows.recordCount(), 4);
    rows.moveLast();
    EXPECT_EQ(rows.field("name1").toString(), "Zenith Labs");
    EXPECT_EQ(rows.field("MOD").toDouble(), 9.886);
    rows.moveNext();
    EXPECT_TRUE(rows.eof());
    rows.moveFirst();
    rows.movePrevious();
    EXPECT_TRUE(rows.bof());
    QueryRecordSet empty(db(), "SELECT * FROM PRIME WHERE 0");
    EXPECT_TRUE(empty.eof() && empty.bof());
    EXPECT_EQ(empty.recordCount(), 0);

    QueryRecordSet keys(db(), "SELECT FILE, SEQUENCE, NAME1 FROM PRIME ORDER BY FILE, SEQUENCE");
    ASSERT_TRUE(keys.findFirst("FILE = '1000002'"));
    EXPECT_EQ(keys.field("SEQUENCE").toString(), "01");
    ASSERT_TRUE(keys.findNext("FILE = '1000002'"));
    EXPECT_EQ(keys.field("SEQUENCE").toString(), "02");
    EXPECT_FALSE(keys.findNext("FILE = '1000002'"));
    EXPECT_TRUE(keys.noMatch());
    EXPECT_EQ(keys.field("SEQUENCE").toString(), "02");
    EXPECT_FALSE(keys.findFirst("NAME1 = 'O''Brien'"));
    // A double-quoted word is never taken for a text.
    EXPECT_THROW(count("SELECT * FROM PRIME WHERE NAME1 = \"acme widgets\""), DbError);
}

TEST_P(RecordSetTest, TableSeekFindsTheFirstRowOfTheKey)
{
    const struct
    {
        const char* index;
        const char* comparison;
        std::vector<Value> key;
        const char* found; // NAME1 of the row found, empty for no match
    } seeks[] = {{"PRIMARY", "=", {"1000002", "02"}, "Zenith Labs"},
                 {"PRIMARY", "=", {"1000002", "03"}, ""},
                 {"PRIMARY", ">=", {"1000002"}, "acme widgets"},
                 {"KEY2", ">=", {"mi"}, "MILLER & SONS"},
                 {"KEY2", ">=", {"ACME"}, "acme widgets"},
                 {"KEY2", ">=", {"zz"}, ""},
                 {"KEY3", ">=", {"B"}, "acme widgets"}};
    TableRecordSet prime(db(), "PRIME");
    for (const auto& seek : seeks) {
        prime.setIndex(seek.index);
        prime.seek(seek.comparison, seek.key);
        EXPECT_EQ(prime.noMatch() ? "" : prime.field("name1").toString(), seek.found)
            << seek.index << " " << seek.comparison << " " << seek.key[0].toString();
    }

    // The name index compares without regard to case.
    prime.setIndex("KEY2");
    Names names;
    for (prime.moveFirst(); !prime.eof(); prime.moveNext())
        names.push_back(prime.field("NAME1").toString());
    EXPECT_EQ(names, (Names{"acme widgets", "MILLER & SONS", "SMITH TOOL CO", "Zenith Labs"}));
    prime.moveLast();
    for (int step = 0; step < 4; ++step)
        prime.movePrevious();
    EXPECT_TRUE(prime.bof());
    EXPECT_THROW(prime.field("NOSUCHFIELD"), DbError);
}

TEST_P(RecordSetTest, TableAddsARowAndRefusesADuplicateKey)
{
    TableRecordSet notes(db(), "NOTES");
    notes.setIndex("PRIMARY");
    const auto addRow = [&notes] {
        notes.addNew();
        notes.setField("FILE", "1000001");
        notes.setField("SEQUENCE", "01");
        notes.update();
    };
    addRow();
    EXPECT_EQ(errorKind(addRow), DbError::Kind::UniqueViolation);
    notes.cancelUpdate();
    EXPECT_EQ(state().value("SELECT COUNT(*) || MAX(FILE) FROM NOTES"), Value("11000001"));
}

// A file's password; a server takes its own login (see ServerEngineTest).
TEST(Database, RefusesAWrongPasswordAndAMissingFile)
{
    StateDatabase state;
    Database other;
    EXPECT_EQ(errorKind([&] { other.open(state.path(), ";PWD=secret2"); }),
              DbError::Kind::WrongPassword);
    EXPECT_FALSE(other.isOpen());
    EXPECT_THROW(other.open(state.path(), ""), DbError);
    EXPECT_THROW(other.open(state.path() + ".missing", StateDatabase::kConnect), DbError);
    other.open(state.path(), ";pwd=secret1");
    EXPECT_TRUE(other.isOpen());
}

// A savepoint rolled back still leaves its transaction written; a savepoint
// committed inside a transaction never committed is rolled back with it.
TEST_P(RecordSetTest, TransactionsNestAsSavepoints)
{
    {
        Transaction outer(db());
        {
            Transaction abandoned(db());
            add("2000001", "01", "ABANDONED");
            EXPECT_TRUE(db().hasChangedRows());
        }
        EXPECT_TRUE(db().hasChangedRows());
        Transaction inner(db());
        add("2000002", "01", "ROLLED BACK");
        inner.commit();
        EXPECT_TRUE(db().inTransaction());
    }
    EXPECT_FALSE(db().inTransaction());
    EXPECT_EQ(companies(), 4);
}

TEST_P(RecordSetTest, ForwardCursorWalksRowsOnceByNameOrPosition)
{
    ForwardCursor rows(db(), "SELECT NAME1, MOD FROM PRIME ORDER BY NAME1");
    ASSERT_EQ(rows.fieldCount(), 2);
    EXPECT_EQ(rows.fieldName(1), "MOD");
    EXPECT_THROW(rows.field(0), DbError);
    ASSERT_TRUE(rows.next());
    EXPECT_EQ(rows.field("name1").toString(), "acme widgets");
    EXPECT_TRUE(rows.hasField("Mod"));
    EXPECT_FALSE(rows.hasField("CITY"));
    EXPECT_THROW(rows.field("CITY"), DbError);
    Names rest;
    while (rows.next())
        rest.push_back(rows.field(0).toString());
    EXPECT_EQ(rest, (Names{"MILLER & SONS", "SMITH TOOL CO", "Zenith Labs"}));
    EXPECT_FALSE(rows.next());
}

TEST(Schema, OnlyNewYorkHasAddressesAndEveryStateItsReferenceRows)
{
    StateDatabase ny("NY");
    StateDatabase pa("PA");
    EXPECT_TRUE(ny.db().tableExists("ADDRESSES"));
    EXPECT_FALSE(pa.db().tableExists("ADDRESSES"));
    const char* counted = "SELECT (SELECT COUNT(*) FROM pragma_table_info('PRIME')) || ' ' || "
                          "(SELECT COUNT(*) FROM sqlite_master WHERE type = 'index') || ' ' || "
                          "(SELECT COUNT(*) FROM EMPLOYEES) || ' ' || "
                          "(SELECT DESCRIPTION FROM EMPLOYEES WHERE CODE = '9') || ' ' || "
                          "(SELECT DESCRIPTION FROM SALES WHERE CODE = '1') || ' ' || "
                          "(SELECT group_concat(DESCRIPTION, '/') FROM "
                          "(SELECT DESCRIPTION FROM MERIT ORDER BY CODE DESC)) || ' ' || "
                          "(SELECT LENGTH(Version) FROM VERSION WHERE Dummy = '1')";
    EXPECT_EQ(pa.value(counted).toString(),
              std::string("44 17 10 1000+ Under 1 million Debit/Credit/Neutral/N/Q 10"));
}

TEST(SqlDialect, TranslatesTheOriginalFormsOnly)
{
    const std::string literal = "SELECT * FROM PRIME WHERE NAME1 = 'DELETE * FROM ''X'''";
    const std::string digits(50000, '7');
    // A thousand alternatives in one group, as a lookup of a thousand zip ranges gives.
    std::string zipGroup = "SELECT * FROM PRIME WHERE (ZIP BETWEEN '0' AND '0'";
    for (int zip = 1; zip < 1000; ++zip)
        zipGroup +=
            " OR ZIP BETWEEN '" + std::to_string(zip) + "' AND '" + std::to_string(zip) + "'";
    zipGroup += ")";
    // Companies without an order of their own come in row-id order.
    const std::string inRowIdOrder = " ORDER BY PRIME.rowid";
    const std::pair<std::string, std::string> translations[] = {
        {"DELETE * FROM VERSION", "DELETE FROM VERSION"},
        {"SELECT * FROM PRIME WHERE [MOD] NOT = 9.886 AND ZIP = '1'",
         "SELECT * FROM PRIME WHERE NOT ([MOD] = 9.886) AND ZIP = '1'" + inRowIdOrder},
        {"SELECT * FROM PRIME WHERE NAME1 NOT = 'A NOT = B'",
         "SELECT * FROM PRIME WHERE NOT (NAME1 = 'A NOT = B')" + inRowIdOrder},
        {"SELECT * FROM CLASS WHERE USER1 not = [USER2] AND 1 NOT = 2",
         "SELECT * FROM CLASS WHERE NOT (USER1 = [USER2]) AND 1 NOT = 2"},
        {literal, literal + inRowIdOrder},
        // Long statements are read in one walk, whatever their length.
        {zipGroup, zipGroup + inRowIdOrder},
        {"SELECT * FROM PRIME WHERE F(" + digits + ") NOT = -1",
         "SELECT * FROM PRIME WHERE NOT (F(" + digits + ") = -1)" + inRowIdOrder}};
    for (const auto& [original, translated] : translations)
        EXPECT_EQ(SqlDialect::translate(original), translated) << original.substr(0, 80);
}

long long notes(const TempFolder& folder, const Installation& installation,
                const std::string& state)
{
    Database db(folder.file("KORA" + state + ".MDB"), installation.stateConnect(state));
    return QueryRecordSet(db, "SELECT * FROM NOTES").recordCount();
}

TEST(Installation, LaysOutSixStatesOfTheirOwnPasswordsAndKeepsThemUnlessReplacing)
{
    TempFolder folder;
    Installation installation(folder.path());
    installation.create(false);
    EXPECT_TRUE(fs::is_directory(folder.file("INITIAL")));
    EXPECT_TRUE(fs::is_regular_file(folder.file("KORA.HLP")));
    Database setup(folder.file("KORAI.MDB"), ";PWD=TRZN382pbk");
    std::set<std::string> passwords;
    for (auto code : kStateCodes) {
        const std::string state(code);
        const std::string connect = installation.stateConnect(state);
        EXPECT_EQ(connect, stateConnectOf(state));
        passwords.insert(connect);
        Database stateDb(folder.file("KORA" + state + ".MDB"), connect);
        EXPECT_EQ(QueryRecordSet(stateDb, "SELECT * FROM VERSION WHERE Dummy = '1'").recordCount(),
                  1);
        EXPECT_TRUE(Database(folder.file("BACKUP" + state + ".MDB"), "").tableExists("USER"));
    }
    EXPECT_EQ(passwords.size(), 6u);
    for (const auto& entry : fs::directory_iterator(folder.path()))
        EXPECT_EQ(entry.path().string().find(".new"), std::string::npos) << entry.path();

    const std::string before = installation.stateConnect("NJ");
    Database(folder.file("KORANJ.MDB"), before)
        .execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1', '01', 'kept')");
    installation.create(false);
    EXPECT_EQ(installation.stateConnect("NJ"), before);
    EXPECT_EQ(notes(folder, installation, "NJ"), 1);

    // A program that died with the database open leaves its journal behind:
    // the replaced database takes nothing from it.
    const std::string journal = folder.file("KORAPA.MDB-wal");
    {
        Database pa(folder.file("KORAPA.MDB"), installation.stateConnect("PA"));
        pa.execute("PRAGMA wal_autocheckpoint = 0");
        pa.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1234567', '01', 'old')");
        fs::copy_file(journal, journal + ".left");
    }
    fs::rename(journal + ".left", journal);
    installation.create(true);
    EXPECT_EQ(notes(folder, installation, "NJ"), 0);
    EXPECT_EQ(notes(folder, installation, "PA"), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordSetTest, ::testing::Values(Engine::File, Engine::Server),
                         engineName);

} // namespace
} // namespace kora::test
