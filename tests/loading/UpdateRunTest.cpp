#include "LoadTestFolder.h"

#include "base/Dates.h"
#include "base/FieldName.h"
#include "database/Schema.h"
#include "database/Transaction.h"
#include "demo/DemoData.h"
#include "loading/DeferredIndexes.h"
#include "loading/LoadError.h"
#include "loading/ReplacedTables.h"
#include "loading/UpdateFile.h"
#include "loading/UpdateRun.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace kora::test {
namespace {

Rows operations(const std::string& folder, const std::string& state)
{
    Rows names;
    for (const UpdateRun::Step& step : UpdateRun::steps(folder, state))
        names.push_back(step.operation);
    return names;
}

// Every row of every table of a state, in one order on either engine.
Rows everyRow(LoadTestFolder& folder)
{
    Rows rows;
    for (const Schema::Table& table : Schema::everyTableOf("PA")) {
        std::vector<std::string> names;
        for (const Schema::Field& field : table.fields)
            names.push_back(field.name);
        const std::string columns = quoteIdentifiers(names);
        for (const std::string& row :
             folder.rows("SELECT " + columns + " FROM " + table.name + " ORDER BY " + columns))
            rows.push_back(table.name + ": " + row);
    }
    return rows;
}

void writeDelivery(LoadTestFolder& folder, DemoData::Delivery delivery)
{
    DemoData("PA", 300, Dates::today(), delivery).writeUpdateFiles(folder.path());
}

// A delivery's company file alone, whose load is one transaction.
void writeCompanies(LoadTestFolder& folder, DemoData::Delivery delivery)
{
    writeDelivery(folder, delivery);
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        if (entry.path().extension() == ".DAT" && entry.path().filename() != "DATAPA.DAT")
            std::filesystem::remove(entry.path());
}

// The demo's two deliveries load into a state on the server to the rows
// they load to in a file, table by table.
TEST(UpdateRun, DeliveriesLoadToTheSameRowsOnTheServerAsInAFile)
{
    KORA_SKIP_WITHOUT_SERVER();
    LoadTestFolder file("PA");
    LoadTestFolder server("PA", Engine::Server);
    for (auto delivery : {DemoData::Delivery::Earlier, DemoData::Delivery::Latest}) {
        for (LoadTestFolder* folder : {&file, &server}) {
            writeDelivery(*folder, delivery);
            UpdateRun::run(folder->db(), folder->path(), "PA", folder->progress);
        }
    }
    const Rows rows = everyRow(file);
    ASSERT_GT(rows.size(), 2000u);
    EXPECT_EQ(everyRow(server), rows);
    EXPECT_EQ(server.progress.texts, file.progress.texts);
}

// A second PC, with update files of its own in its own program folder, that
// starts an update of a state on the server while another PC's update runs is
// told so at its first file and changes nothing; its update runs afterwards.
TEST(UpdateRun, SecondPcUpdatingAStateOnTheServerIsTurnedAway)
{
    KORA_SKIP_WITHOUT_SERVER();
    LoadTestFolder secondPc("PA", Engine::Server);
    writeDelivery(secondPc, DemoData::Delivery::Earlier);
    {
        Database firstPc(secondPc.StateDatabase::path(), secondPc.connect());
        const auto running = firstPc.tryLockKey(std::string(UpdateRun::kLockKey));
        ASSERT_TRUE(running);
        try {
            UpdateRun::run(secondPc.db(), secondPc.path(), "PA", secondPc.progress);
            FAIL() << "two updates of the state ran at once";
        } catch (const LoadError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Cannot load SIC.DAT: another update of the state is running");
        }
        EXPECT_EQ(secondPc.count("SICCODES"), 0);
        EXPECT_EQ(operations(secondPc.path(), "PA").size(), 5u);
    }
    UpdateRun::run(secondPc.db(), secondPc.path(), "PA", secondPc.progress);
    EXPECT_GT(secondPc.count("PRIME"), 0);
    EXPECT_TRUE(operations(secondPc.path(), "PA").empty());
}

// A load sets no index aside on the server, where that would keep the
// agents' reads of the table waiting until the load commits.
TEST(UpdateRun, ReadersOfTheServerNeverWaitForALoad)
{
    KORA_SKIP_WITHOUT_SERVER();
    LoadTestFolder server("PA", Engine::Server);
    Database agent(server.StateDatabase::path(), server.connect());
    agent.execute("SET statement_timeout = 3000");
    Transaction load(server.db());
    DeferredIndexes indexes(server.db(), {"MODS", "CLASS", "MODTREND"});
    server.db().execute("DELETE FROM MODS");
    for (const char* table : {"MODS", "CLASS", "MODTREND"})
        EXPECT_NO_THROW(queryRows(agent, std::string("SELECT COUNT(*) FROM ") + table)) << table;
    indexes.rebuild();
}

// A load writes the server's tables anew: the agents read the old rows
// without waiting until the commit, which puts the new rows in their place,
// in tables with the indexes, grants and owner of the old ones.
TEST(UpdateRun, TablesWrittenAnewOnTheServerKeepTheirIndexesAndGrants)
{
    KORA_SKIP_WITHOUT_SERVER();
    LoadTestFolder server("PA", Engine::Server);
    writeDelivery(server, DemoData::Delivery::Earlier);
    UpdateRun::run(server.db(), server.path(), "PA", server.progress);
    server.db().execute("GRANT SELECT ON MODS TO PUBLIC");
    server.db().execute("GRANT UPDATE (MOD) ON MODS TO PUBLIC");
    server.db().execute("GRANT USAGE ON ALL SEQUENCES IN SCHEMA kora_pa TO PUBLIC");
    const std::string layout =
        "SELECT c.relname, c.relowner::regrole, c.relacl, (SELECT string_agg(a.attname || "
        "a.attacl::text, ' ') FROM pg_attribute a WHERE a.attrelid = c.oid AND a.attacl IS "
        "NOT NULL), (SELECT string_agg(pg_get_indexdef(i.indexrelid), ' ' ORDER BY "
        "pg_get_indexdef(i.indexrelid)) FROM pg_index i WHERE i.indrelid = c.oid), (SELECT "
        "string_agg(s.relowner::regrole || COALESCE(s.relacl::text, ''), ' ') FROM pg_depend d "
        "JOIN pg_class s ON s.oid = d.objid AND s.relkind = 'S' WHERE d.refobjid = c.oid) "
        "FROM pg_class c "
        "WHERE c.relnamespace = 'kora_pa'::regnamespace AND c.relkind = 'r' ORDER BY 1";
    const Rows before = server.rows(layout);
    const Value mods = server.value("SELECT COUNT(*) FROM MODS");
    Database agent(server.StateDatabase::path(), server.connect());
    agent.execute("SET statement_timeout = 3000");
    {
        Transaction load(server.db());
        ReplacedTables tables(server.db(), {"MODS", "CLASS"});
        server.db().execute("INSERT INTO MODS (FILE, SEQUENCE, [MOD]) VALUES ('1', '2', 0.9)");
        EXPECT_EQ(server.value("SELECT COUNT(*) FROM MODS"), Value(1));
        tables.rebuildIndexes();
        for (const char* table : {"MODS", "CLASS"})
            EXPECT_NE(queryRows(agent, std::string("SELECT COUNT(*) FROM ") + table), Rows{"0"})
                << table;
        load.commit();
    }
    EXPECT_EQ(queryRows(agent, "SELECT FILE, SEQUENCE, [MOD] FROM MODS"), Rows{"1|2|0.9"});
    EXPECT_EQ(queryRows(agent, "SELECT COUNT(*) FROM CLASS"), Rows{"0"});
    EXPECT_EQ(server.rows(layout), before);
    EXPECT_NE(mods, Value(0));
}

// A load gives the tables it writes anew the index forms of this release:
// those of an earlier one go, and an administrator's own index stays.
TEST(UpdateRun, TablesWrittenAnewOnTheServerTakeTheCurrentIndexForms)
{
    KORA_SKIP_WITHOUT_SERVER();
    LoadTestFolder server("PA", Engine::Server);
    server.db().execute("DROP INDEX PRIME_ZIP");
    server.db().execute("CREATE INDEX PRIME_ZIP ON PRIME (ZIP, rowid)");
    server.db().execute("CREATE INDEX PRIME_KEY2_ORDER ON PRIME (NameSort)");
    server.db().execute("CREATE INDEX PRIME_CITY ON PRIME (CITY)");
    const std::string indexes =
        "SELECT c.relname, pg_get_indexdef(c.oid) FROM pg_index i JOIN pg_class c ON c.oid = "
        "i.indexrelid WHERE i.indrelid = 'kora_pa.prime'::regclass AND c.relname IN "
        "('prime_zip', 'prime_key2_order', 'prime_city') ORDER BY 1";
    writeCompanies(server, DemoData::Delivery::Earlier);
    UpdateRun::run(server.db(), server.path(), "PA", server.progress);
    EXPECT_EQ(server.rows(indexes),
              (Rows{"prime_city|CREATE INDEX prime_city ON kora_pa.prime USING btree (city)",
                    "prime_zip|CREATE INDEX prime_zip ON kora_pa.prime USING btree "
                    "(lower(((zip)::text COLLATE ucs_basic)) NULLS FIRST, rowid NULLS FIRST) "
                    "INCLUDE (zip)"}));
}

// A company load into the server killed while it writes, at moments spread
// over its run, leaves its file in place and exactly the old rows, or exactly
// the new ones of a file's load; a load to its end afterwards gives those.
TEST(UpdateRun, KilledLoadOnTheServerLeavesTheOldRowsOrTheNew)
{
    KORA_SKIP_WITHOUT_SERVER();
    LoadTestFolder file("PA");
    LoadTestFolder server("PA", Engine::Server);
    for (LoadTestFolder* folder : {&file, &server}) {
        writeDelivery(*folder, DemoData::Delivery::Earlier);
        UpdateRun::run(folder->db(), folder->path(), "PA", folder->progress);
    }
    const Rows before = everyRow(server);
    writeCompanies(file, DemoData::Delivery::Latest);
    UpdateRun::run(file.db(), file.path(), "PA", file.progress);
    const Rows after = everyRow(file);
    const std::string companies = server.path() + "DATAPA.DAT";
    int killed = 0;
    bool loaded = false;
    for (int attempt = 0; attempt < 10 && !loaded; ++attempt) {
        writeCompanies(server, DemoData::Delivery::Latest);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // A connection of its own, and never the parent's: ending that
            // would end the parent's session.
            try {
                Database db(server.StateDatabase::path(), server.connect());
                UpdateRun::run(db, server.path(), "PA", server.progress);
            } catch (...) {
                _exit(1);
            }
            _exit(0);
        }
        // Killed once its update runs (it holds the update's lock), a little
        // later each time: before, while and after it writes the companies.
        const auto waitUntil = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (server.value("SELECT COUNT(*) FROM pg_locks WHERE locktype = 'advisory' AND "
                            "pid <> pg_backend_pid()") == Value(0) &&
               std::chrono::steady_clock::now() < waitUntil)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(25 * attempt));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        killed += WIFSIGNALED(status) ? 1 : 0;
        // The server ends the killed sessions, and frees their locks, once it
        // reads the closed connections.
        const auto gone = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (server.value("SELECT COUNT(*) FROM pg_locks WHERE locktype = 'advisory' AND "
                            "database = (SELECT oid FROM pg_database WHERE datname = "
                            "current_database())") != Value(0) &&
               std::chrono::steady_clock::now() < gone)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        loaded = everyRow(server) != before;
        // Killed after its commit, before the file's deletion: the next run
        // deletes the file without loading it again.
        if (loaded && std::filesystem::exists(companies))
            UpdateRun::run(server.db(), server.path(), "PA", server.progress);
        if (loaded)
            EXPECT_EQ(everyRow(server), after) << "attempt " << attempt;
        else
            EXPECT_TRUE(std::filesystem::exists(companies)) << "attempt " << attempt;
    }
    EXPECT_GT(killed, 0);
    if (!loaded) {
        writeCompanies(server, DemoData::Delivery::Latest);
        UpdateRun::run(server.db(), server.path(), "PA", server.progress);
        EXPECT_EQ(everyRow(server), after);
    }
}

// The class list alone loads and leaves the version as it was; with every
// file the loads run in order and the version becomes today's.
TEST(UpdateRun, EveryLoadInOrderAndVersionRewritten)
{
    LoadTestFolder folder("NY");
    folder.db().execute("UPDATE VERSION SET Version = '2001-02-03';"
                        "INSERT INTO VERSION (Dummy, Version) VALUES ('1', '2002-02-02')");
    const auto version = [&] {
        return folder.value("SELECT GROUP_CONCAT(Dummy || ' ' || Version) FROM VERSION");
    };
    folder.write("CLASSES.DAT", {FixedRecord(57).put(2, "8810").put(6, "OLD")});
    // An empty file is not an update.
    folder.write("DATANY.DAT", {});
    EXPECT_TRUE(UpdateRun::isPending(folder.path(), "NY"));
    EXPECT_EQ(operations(folder.path(), "NY"), Rows{"NEWCLASSLISTSTD"});
    UpdateRun::run(folder.db(), folder.path(), "NY", folder.progress);
    EXPECT_EQ(folder.count("CLASSLIST"), 1);
    EXPECT_FALSE(folder.exists("CLASSES.DAT"));
    EXPECT_EQ(version(), Value("1 2001-02-03,1 2002-02-02"));

    folder.write("DATA2NY.DAT", {FixedRecord(327).put(1, "NY1234567").put(19, "ACME")});
    // New York addresses alone are no update, and other states never see them.
    EXPECT_FALSE(UpdateRun::isPending(folder.path(), "NY"));
    EXPECT_TRUE(operations(folder.path(), "PA").empty());
    folder.write("DATANY.DAT",
                 {FixedRecord(502).put(1, "NY1234567").put(10, "01").put(175, "001")});
    folder.write("DATA1NY.DAT", {FixedRecord(52).put(2, "8810").put(7, "1234567").put(14, "01")});
    folder.write("CTYNY.DAT", {FixedRecord(36).put(2, "001").put(5, "ALBANY")});
    folder.write("CLASSES.DAT", {FixedRecord(57).put(2, "8810").put(6, "CLERICAL")});
    folder.write("SIC.DAT", {FixedRecord(52).put(1, "1521").put(9, "BUILDERS")});
    // Files of other states are left alone.
    folder.write("DATAPA.DAT", {FixedRecord(502).put(1, "PA1234567")});

    EXPECT_EQ(operations(folder.path(), "NY"), (Rows{"NEWSICSTD", "NEWCLASSLISTSTD", "NEWCOUNTYSTD",
                                                     "NEWCLASSNY", "NEWDATANY", "NEWADDRESSESNY"}));
    EXPECT_EQ(operations(folder.path(), "PA"),
              (Rows{"NEWSICSTD", "NEWCLASSLISTSTD", "NEWDATASTD"}));
    UpdateRun::run(folder.db(), folder.path(), "NY", folder.progress);

    for (const char* name :
         {"DATA2NY.DAT", "DATANY.DAT", "DATA1NY.DAT", "CTYNY.DAT", "CLASSES.DAT", "SIC.DAT"})
        EXPECT_FALSE(folder.exists(name)) << name;
    EXPECT_TRUE(folder.exists("DATAPA.DAT"));
    // Class descriptions and county names were there when the later loads ran.
    EXPECT_EQ(folder.value("SELECT RTRIM(CLASSDESC) FROM CLASS"), Value("CLERICAL"));
    EXPECT_EQ(folder.value("SELECT RTRIM(COUNTYNAME) FROM PRIME"), Value("ALBANY"));
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM SICCODES"), Value(1));
    EXPECT_EQ(folder.value("SELECT RTRIM(ADDRESSES, ' ' || char(13, 10)) FROM ADDRESSES"),
              Value("ACME"));
    EXPECT_EQ(version(), Value("1 " + Dates::today()));
    EXPECT_EQ(folder.progress.texts, (Rows{"TOTAL CLASSES ADDED IS 0", "TOTAL COMPANIES ADDED IS 0",
                                           "TOTAL OTHER INFORMATION ADDED IS 0"}));
    EXPECT_FALSE(UpdateRun::isPending(folder.path(), "NY"));
}

// A failed load stops the run with the files after it kept; the second of two
// updates of one state at once stops at the file the first one is loading,
// saying so, and changes nothing.
TEST(UpdateRun, FailedLoadAndSecondUpdateAtOnceStopTheRun)
{
    LoadTestFolder folder("DE");
    folder.write("SIC.DAT", {FixedRecord(52).put(1, "1521").put(9, "BUILDERS")});
    folder.write("CLASSES.DAT", {FixedRecord(57).put(2, "8810"), FixedRecord(57).put(2, "8810")});
    folder.write("DATADE.DAT", {FixedRecord(502).put(1, "DE1234567")});
    EXPECT_THROW(UpdateRun::run(folder.db(), folder.path(), "DE", folder.progress), LoadError);
    EXPECT_FALSE(folder.exists("SIC.DAT"));
    EXPECT_EQ(folder.count("SICCODES"), 1);
    EXPECT_TRUE(folder.exists("CLASSES.DAT"));
    EXPECT_EQ(operations(folder.path(), "DE"), (Rows{"NEWCLASSLISTSTD", "NEWDATASTD"}));

    std::filesystem::remove(folder.path() + "CLASSES.DAT");
    const UpdateFile firstUpdate(folder.path() + "DATADE.DAT", 502);
    try {
        UpdateRun::run(folder.db(), folder.path(), "DE", folder.progress);
        FAIL() << "both updates loaded the file";
    } catch (const LoadError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot load DATADE.DAT: another update is running and loading it");
    }
    EXPECT_EQ(folder.count("PRIME"), 0);
    EXPECT_TRUE(folder.exists("DATADE.DAT"));
}

// Update files that cannot be loaded are told, and never opened: a FIFO
// would wait for a writer for ever.
TEST(UpdateRun, EmptyFolderAndFifoFilesAreTold)
{
    LoadTestFolder folder("PA");
    folder.write("DATAPA.DAT", {});
    std::filesystem::create_directory(folder.path() + "DATA1PA.DAT");
    ASSERT_EQ(mkfifo((folder.path() + "CTYPA.DAT").c_str(), 0644), 0);
    const Rows told = {"CTYPA.DAT is not a regular file: it cannot be loaded",
                       "DATA1PA.DAT is a folder, not an update file: it cannot be loaded",
                       "DATAPA.DAT is empty: there is nothing in it to load"};
    EXPECT_FALSE(UpdateRun::isPending(folder.path(), "PA"));
    EXPECT_EQ(UpdateRun::unusableFiles(folder.path(), "PA"), told);

    folder.write("CLASSES.DAT", {FixedRecord(57).put(2, "8810").put(6, "CLERICAL")});
    EXPECT_EQ(UpdateRun::run(folder.db(), folder.path(), "PA", folder.progress), told);
    EXPECT_EQ(folder.count("CLASSLIST"), 1);
    EXPECT_TRUE(folder.exists("CTYPA.DAT"));
}

// The class list, the counties and the SIC codes replace their tables, but
// for records that begin with a blank or a control character (or SIC codes
// not of two or four digits); a file holding a code twice changes nothing
// and stays.
TEST(ReferenceLoad, CodeListsReplaceTheirTablesAndADuplicateChangesNothing)
{
    LoadTestFolder folder("PA");
    folder.db().execute("INSERT INTO CLASSLIST (CLASS, [DESC]) VALUES ('0001', 'OLD');"
                        "INSERT INTO COUNTY (CODE, COUNTY) VALUES ('999', 'OLD')");
    auto classEntry = [](const std::string& code, const std::string& description) {
        return FixedRecord(57).put(2, code).put(6, description);
    };
    auto county = [](const std::string& code, const std::string& name) {
        return FixedRecord(36).put(2, code).put(5, name);
    };
    folder.write("CLASSES.DAT", {classEntry("8810", "CLERICAL OFFICE EMPLOYEES NOC"),
                                 classEntry("9999", "NOT USED").put(1, "  "),
                                 classEntry("5403", "CARPENTRY NOC")});
    folder.write("CTYPA.DAT", {county("001", "ADAMS"), county("005", "SKIPPED").put(2, "\t"),
                               FixedRecord(36).put(1, "X003ALLEGHENY")});
    auto sic = [](const std::string& code, const std::string& description) {
        return FixedRecord(52).put(1, code).put(9, description);
    };
    folder.write("SIC.DAT", {sic("7", "SKIPPED"), sic("123", "SKIPPED"), sic(" 15  ", "BUILDING"),
                             sic("1521 ", "GENERAL CONTRACTORS"), sic("12345", "SKIPPED"),
                             sic("", "SKIPPED")});
    folder.loader().loadClassList();
    folder.loader().loadCounties();
    folder.loader().loadSicCodes();
    for (const char* name : {"CLASSES.DAT", "CTYPA.DAT", "SIC.DAT"})
        EXPECT_FALSE(folder.exists(name)) << name;
    EXPECT_EQ(folder.rows("SELECT CODE, LENGTH([DESC]), RTRIM([DESC]) FROM SICCODES ORDER BY CODE"),
              (Rows{"1500|42|BUILDING", "1521|42|GENERAL CONTRACTORS"}));
    const Rows classes = {"5403|CARPENTRY NOC" + std::string(37, ' '),
                          "8810|CLERICAL OFFICE EMPLOYEES NOC" + std::string(21, ' ')};
    const Rows counties = {"001|ADAMS" + std::string(25, ' '),
                           "003|ALLEGHENY" + std::string(21, ' ')};
    EXPECT_EQ(folder.rows("SELECT CLASS, [DESC] FROM CLASSLIST ORDER BY CLASS"), classes);
    EXPECT_EQ(folder.rows("SELECT CODE, COUNTY FROM COUNTY ORDER BY CODE"), counties);
    EXPECT_TRUE(folder.progress.texts.empty());

    folder.write("CLASSES.DAT", {classEntry("8810", "CLERICAL"), classEntry("8810", "AGAIN")});
    folder.write("CTYPA.DAT", {county("001", "ADAMS"), county("001", "AGAIN")});
    EXPECT_THROW(folder.loader().loadClassList(), LoadError);
    EXPECT_THROW(folder.loader().loadCounties(), LoadError);
    EXPECT_TRUE(folder.exists("CLASSES.DAT"));
    EXPECT_TRUE(folder.exists("CTYPA.DAT"));
    EXPECT_EQ(folder.rows("SELECT CLASS, [DESC] FROM CLASSLIST ORDER BY CLASS"), classes);
    EXPECT_EQ(folder.rows("SELECT CODE, COUNTY FROM COUNTY ORDER BY CODE"), counties);
}

// A New York address record: file 3-9, sequence 10-11, line k at 19 + 38k.
FixedRecord addressRecord(const std::string& file, const std::vector<std::string>& lines)
{
    FixedRecord record(327);
    record.put(1, "NY").put(3, file).put(10, "01");
    for (size_t k = 0; k < lines.size(); ++k)
        record.put(19 + 38 * static_cast<int>(k), lines[k]);
    return record;
}

std::string line(const std::string& text)
{
    return text + std::string(35 - text.size(), ' ') + "\r\n";
}

// New York addresses, and New York class data whose files match New York
// companies.
TEST(ReferenceLoad, NewYorkAddressesAndClasses)
{
    LoadTestFolder folder("NY");
    // Line 1 is blank, line 2 a lone letter before blanks: both skipped.
    // "1 MAIN ST" has a blank in its second place and is kept.
    FixedRecord first = addressRecord(
        "1234567", {"ACME TOOL CO", "", "X", "1 MAIN ST", "", "", "", "ALBANY NY 12207"});
    first.put(19 + 38 * 4 + 34, "!");
    FixedRecord second = addressRecord("1234567", {"ATTN PAYROLL"});
    FixedRecord noLines = addressRecord("7654321", {});
    std::vector<FixedRecord> records = {first, noLines, second,
                                        addressRecord("5555555", {"SKIPPED"}).put(1, " \x01")};
    // 300 more companies: one batch of progress.
    for (int i = 0; i < 300; ++i)
        records.push_back(addressRecord(std::to_string(2000000 + i), {"LINE"}));
    folder.write("DATA2NY.DAT", records);
    folder.loader().loadNewYorkAddresses();

    EXPECT_FALSE(folder.exists("DATA2NY.DAT"));
    EXPECT_EQ(folder.count("ADDRESSES"), 302);
    EXPECT_EQ(folder.value("SELECT ADDRESSES FROM ADDRESSES WHERE FILE = '123 45 67' AND "
                           "SEQUENCE = '01'"),
              Value(line("ACME TOOL CO") + line("1 MAIN ST") + line(std::string(34, ' ') + "!") +
                    line("ALBANY NY 12207") + line("ATTN PAYROLL")));
    EXPECT_TRUE(folder.value("SELECT ADDRESSES FROM ADDRESSES WHERE FILE = '765 43 21'").isNull());
    EXPECT_EQ(folder.progress.texts,
              (Rows{"TOTAL OTHER INFORMATION ADDED IS 0", "TOTAL OTHER INFORMATION ADDED IS 300"}));

    std::vector<FixedRecord> classes;
    for (int i = 0; i < 2001; ++i)
        classes.push_back(FixedRecord(52)
                              .put(2, "8810")
                              .put(7, std::to_string(1000000 + i))
                              .put(14, "010001234"));
    folder.write("DATA1NY.DAT", classes);
    folder.progress.texts.clear();
    folder.loader().loadNewYorkClasses();
    EXPECT_EQ(folder.count("CLASS"), 2001);
    EXPECT_EQ(folder.rows("SELECT FILE, FILESEQ, LOSSCOST FROM CLASS WHERE FILE = '100 00 07'"),
              Rows{"100 00 07|100 00 0701|12.34"});
    EXPECT_EQ(folder.progress.texts,
              (Rows{"TOTAL CLASSES ADDED IS 0", "TOTAL CLASSES ADDED IS 1000",
                    "TOTAL CLASSES ADDED IS 2000"}));
}

// A standard class record: class 2-5, file 7-13, loss cost 18-22, sequence 23-24.
FixedRecord classRecord(const std::string& code, const std::string& file,
                        const std::string& sequence, const std::string& lossCost)
{
    return FixedRecord(52)
        .put(1, "P")
        .put(2, code)
        .put(7, file)
        .put(18, lossCost)
        .put(23, sequence);
}

// Classes met again in the file are merged in file order, on either engine.
class ClassMerge : public EngineTest<LoadTestFolder>
{
};

TEST_P(ClassMerge, StandardClassData)
{
    LoadTestFolder& folder = data();
    folder.db().execute(
        "INSERT INTO CLASSLIST (CLASS, [DESC]) VALUES ('5403', 'CARPENTRY NOC'), "
        "('8810', 'CLERICAL');"
        "INSERT INTO CLASS (FILE, SEQUENCE, CLASS) VALUES ('9999999', '01', '0001')");
    folder.write("DATA1PA.DAT",
                 {classRecord("5403", "1000001", "01", "01234"),
                  classRecord("1234", "1000001", "01", "00000"),
                  // The same company and class again: equal loss cost, then a different one.
                  classRecord("8810", "1000002", "02", "00031"),
                  classRecord("8810", "1000002", "02", "00031"),
                  classRecord("5403", "1000003", "01", "00500"),
                  classRecord("5403", "1000003", "01", "00750"),
                  classRecord("8810", "1000004", "01", "  X  "),
                  // A loss cost that cannot be read keeps the one already loaded.
                  classRecord("5403", "1000003", "01", "0X750"),
                  classRecord("8810", "1000009", "01", "00100").put(1, "  ")});
    folder.loader().loadClasses();

    EXPECT_FALSE(folder.exists("DATA1PA.DAT"));
    EXPECT_EQ(
        folder.rows("SELECT FILE, SEQUENCE, FILESEQ, CLASS, CLASSDESC, LOSSCOST FROM CLASS "
                    "ORDER BY FILE, CLASS"),
        (Rows{"1000001|01|100000101|1234|-|0", "1000001|01|100000101|5403|CARPENTRY NOC|12.34",
              "1000002|02|100000202|8810|CLERICAL|0.31",
              "1000003|01|100000301|5403|CARPENTRY NOC|7.5",
              "1000004|01|100000401|8810|CLERICAL|-"}));
    // Hundredths are exact, so equality finds the loss cost.
    EXPECT_EQ(folder.value("SELECT COUNT(*) FROM CLASS WHERE LOSSCOST = 0.31"), Value(1));
    EXPECT_EQ(folder.progress.texts, Rows{"TOTAL CLASSES ADDED IS 0"});
}

INSTANTIATE_TEST_SUITE_P(Engines, ClassMerge, ::testing::Values(Engine::File, Engine::Server),
                         engineName);

} // namespace
} // namespace kora::test
