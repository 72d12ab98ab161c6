#include "database/ConnectString.h"
#include "database/ForwardCursor.h"
#include "database/QueryRecordSet.h"
#include "database/RecordSetTestDatabase.h"
#include "database/TableRecordSet.h"
#include "database/Transaction.h"

#include <gtest/gtest.h>

namespace kora::test {
namespace {

class EngineTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Engine::Server)
            KORA_SKIP_WITHOUT_SERVER();
        fixture = std::make_unique<RecordSetTestDatabase>(GetParam());
    }
    Database& db() { return fixture->db(); }

    // Every row of a query as "a|b" lines joined by "; ", no value as "-".
    std::string rows(const std::string& sql)
    {
        Statement query = db().prepare(sql);
        std::string text;
        while (query.step()) {
            text += text.empty() ? "" : "; ";
            for (int column = 0; column < query.columnCount(); ++column) {
                const Value value = query.column(column);
                text += (column ? "|" : "") + (value.isNull() ? "-" : value.toString());
            }
        }
        return text;
    }

    std::unique_ptr<RecordSetTestDatabase> fixture;
};

std::string engineName(const ::testing::TestParamInfo<Engine>& info)
{
    return info.param == Engine::File ? "File" : "Server";
}

struct Case
{
    const char* sql; // run first when check is given
    const char* check;
    const char* expected;
};

// The forms of SQL the callers write, as they write them, with what each
// gives on the four companies of RecordSetTestDatabase.
const Case kCases[] = {
    {"SELECT NAME1 FROM PRIME ORDER BY NAME1", nullptr,
     "acme widgets; MILLER & SONS; SMITH TOOL CO; Zenith Labs"},
    // No value sorts first, or last when descending; equal names keep no order of their own.
    {"SELECT COUNTYNAME FROM PRIME ORDER BY CountySort, FILE", nullptr,
     "-; Allegheny; allegheny; Bucks"},
    {"SELECT FILE FROM PRIME ORDER BY COUNTYNAME DESC, FILE DESC LIMIT 2", nullptr,
     "1000002; 1000002"},
    {"SELECT COUNT(*) FROM PRIME WHERE NAME1 = 'ZENITH LABS' AND CountySort = 'ALLEGHENY'",
     nullptr, "1"},
    {"SELECT NAME1 FROM PRIME WHERE NAME1 >= 'a' AND NAME1 <= 'b'", nullptr, "acme widgets"},
    {"SELECT NAME1 FROM PRIME WHERE NAME1 LIKE 'smith%'", nullptr, "SMITH TOOL CO"},
    {"SELECT FILE, [MOD] FROM PRIME WHERE [MOD] NOT = 9.886 AND [MOD] > 0.9 ORDER BY FILE",
     nullptr, "1000001|0.95; 1000002|1.25"},
    {"SELECT MONTH(EXPIRE), DAY(EXPIRE), MONTH(NAME2), DAY('2024-1') FROM PRIME WHERE FILE = "
     "'1000001'",
     nullptr, "12|31|-|-"},
    {"SELECT FILE FROM PRIME WHERE (MONTH(EXPIRE)*100+DAY(EXPIRE)) BETWEEN 0101 AND 0630 ORDER "
     "BY MONTH(EXPIRE), DAY(EXPIRE), NAME1",
     nullptr, "1000002; 1000002"},
    {"SELECT FILE || SEQUENCE, substr(NAME1, 1, 4) FROM PRIME WHERE 1 ORDER BY FILESEQ DESC",
     nullptr, "100000301|MILL; 100000202|Zeni; 100000201|acme; 100000101|SMIT"},
    {"SELECT COUNT(*) FROM (SELECT * FROM PRIME WHERE [MOD] BETWEEN 0 AND 1 ORDER BY NAME1)",
     nullptr, "2"},
    {"SELECT FILE FROM PRIME WHERE (+FILE, +SEQUENCE) IN (SELECT FILE, SEQUENCE FROM PRIME "
     "WHERE NAME1 = 'acme WIDGETS')",
     nullptr, "1000002"},
    {"SELECT rowid FROM PRIME WHERE rowid = (SELECT MAX(rowid) FROM PRIME)", nullptr, "4"},
    {"SELECT \"DESC\" FROM CLASSLIST WHERE 0", nullptr, ""},
    {"SELECT DESCRIPTION FROM MERIT WHERE CODE = '9.886'", nullptr, "Debit"},
    {"SELECT NOTES FROM NOTES WHERE NOTES > ''", nullptr, ""},
    {"DELETE * FROM PRIME WHERE FILE NOT = '1000002'", "SELECT COUNT(*) FROM PRIME", "2"},
    {"INSERT INTO SICCODES (CODE, [DESC]) VALUES ('0100', 'Crops')",
     "SELECT CODE, [desc] FROM SICCODES", "0100|Crops"},
    {"INSERT OR REPLACE INTO LOADEDFILES (NAME, IDENTITY) VALUES ('DATAPA.DAT', 'b')",
     "SELECT NAME, IDENTITY FROM LOADEDFILES", "DATAPA.DAT|b"},
    {"INSERT INTO NOTES (FILE, SEQUENCE, NOTES) SELECT FILE, SEQUENCE, ' ' FROM PRIME WHERE 1 "
     "ON CONFLICT DO NOTHING",
     "SELECT COUNT(*) FROM NOTES", "4"},
    {"INSERT INTO CLASS (FILE, SEQUENCE, FILESEQ, CLASS) VALUES ('1000001', '01', "
     "'100000101', '0005') ON CONFLICT (\"FILE\", \"SEQUENCE\", \"CLASS\") DO UPDATE SET "
     "FILESEQ = excluded.FILESEQ",
     "SELECT FILE, CLASS FROM CLASS", "1000001|0005"},
    {"UPDATE PRIME SET Omit = 'X' WHERE FILE = '1000003'",
     "SELECT NAME1 FROM PRIME WHERE OMIT = 'x'", "MILLER & SONS"},
    {"PRAGMA mmap_size=0", "SELECT COUNT(*) FROM VERSION", "1"},
};

TEST_P(EngineTest, RunsTheCallersStatementsAlike)
{
    Schema::createIfMissing(db(), Schema::loadedFilesTable());
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.sql);
        if (!c.check) {
            EXPECT_EQ(rows(c.sql), c.expected);
            continue;
        }
        Transaction step(db());
        db().execute(c.sql);
        EXPECT_EQ(rows(c.check), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, EngineTest, ::testing::Values(Engine::File, Engine::Server),
                         engineName);

} // namespace
} // namespace kora::test
