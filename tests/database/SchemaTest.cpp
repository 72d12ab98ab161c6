#include "database/Schema.h"
#include "database/QueryRecordSet.h"
#include "database/TableRecordSet.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace kora::test {
namespace {

std::set<std::string> names(Database& db, const std::string& type)
{
    std::set<std::string> result;
    QueryRecordSet rows(db, "SELECT name FROM sqlite_master WHERE type = '" + type + "'");
    for (; !rows.eof(); rows.moveNext())
        result.insert(rows.field("name").toString());
    return result;
}

TEST(Schema, StateDatabaseHasEveryTableAndIndex)
{
    TempFolder folder;
    Schema::createStateDatabase(folder.file("KORANY.MDB"), ";PWD=ny", "NY");
    Schema::createStateDatabase(folder.file("KORAPA.MDB"), ";PWD=pa", "PA");
    Database ny(folder.file("KORANY.MDB"), ";PWD=ny");
    Database pa(folder.file("KORAPA.MDB"), ";PWD=pa");

    const std::set<std::string> common = {"PRIME",  "MODS",     "CLASS",     "CLASSLIST",
                                          "COUNTY", "SICCODES", "EMPLOYEES", "SALES",
                                          "MERIT",  "NOTES",    "VERSION"};
    auto nyTables = names(ny, "table");
    auto paTables = names(pa, "table");
    for (const auto& table : common) {
        EXPECT_TRUE(nyTables.count(table)) << table;
        EXPECT_TRUE(paTables.count(table)) << table;
    }
    EXPECT_TRUE(nyTables.count("ADDRESSES"));
    EXPECT_FALSE(paTables.count("ADDRESSES"));

    for (const char* index : {"PRIME_PRIMARY", "PRIME_KEY2", "PRIME_KEY3", "CLASS_PRIMARY",
                              "CLASSLIST_PRIMARY", "COUNTY_PRIMARY", "SICCODES_PRIMARY",
                              "NOTES_PRIMARY", "VERSION_PRIMARY", "ADDRESSES_PRIMARY"})
        EXPECT_TRUE(names(ny, "index").count(index)) << index;

    QueryRecordSet primeColumns(pa, "SELECT COUNT(*) AS N FROM pragma_table_info('PRIME')");
    EXPECT_EQ(primeColumns.field("N").toInteger(), 44);
}

TEST(Schema, ReferenceTablesAndVersionRowAreDelivered)
{
    TempFolder folder;
    Schema::createStateDatabase(folder.file("KORAPM.MDB"), ";PWD=pm", "PM");
    Database db(folder.file("KORAPM.MDB"), ";PWD=pm");

    QueryRecordSet employees(db, "SELECT CODE, DESCRIPTION FROM EMPLOYEES ORDER BY CODE");
    EXPECT_EQ(employees.recordCount(), 10);
    ASSERT_TRUE(employees.findFirst("CODE = '9'"));
    EXPECT_EQ(employees.field("DESCRIPTION").toString(), "1000+");
    QueryRecordSet sales(db, "SELECT CODE, DESCRIPTION FROM SALES");
    ASSERT_TRUE(sales.findFirst("CODE = '1'"));
    EXPECT_EQ(sales.field("DESCRIPTION").toString(), "Under 1 million");

    QueryRecordSet merit(db, "SELECT DESCRIPTION FROM MERIT ORDER BY CODE DESC");
    std::vector<std::string> words;
    for (; !merit.eof(); merit.moveNext())
        words.push_back(merit.field("DESCRIPTION").toString());
    EXPECT_EQ(words, (std::vector<std::string>{"Debit", "Credit", "Neutral", "N/Q"}));

    TableRecordSet version(db, "VERSION");
    version.setIndex("PRIMARY");
    version.seek("=", {"1"});
    ASSERT_FALSE(version.noMatch());
    EXPECT_EQ(version.field("Version").toString().size(), 10u);
}

} // namespace
} // namespace kora::test
