// kora_load_bench: times the update run of a full state, the real case of a
// delivery that replaces every employer of a state database already filled.
//
//   kora_load_bench [--folder DIR] [--keep] [--companies N] [--runs R] [--server CONNINFO]
//
// Generates the update files of two Pennsylvania deliveries once (default
// 300,000 employers in the latest, about 3.5 mods and 4 classes each; the one
// before lacks a few companies and a few newest mods), loads the earlier into
// an empty database, then the latest into the now full one and reports the
// wall time of that second run (the median of R runs, each from the earlier
// delivery) and the peak memory of the process. On a file, each run first
// times the floor: a bare SQLite loader of the same files into a copy of the
// same database. Then it times the company load alone and, apart, what
// recording its changes and keeping its mod trends take.
// With --keep the folder stays behind as a full PA installation for other
// benchmarks. With --server the state is published to that database server
// (its schema kora_pa replaced) before the first load, and every load goes there.

#include "base/Dates.h"
#include "base/StateCodes.h"
#include "database/BackgroundCheckpoint.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "database/StatePublication.h"
#include "database/Transaction.h"
#include "demo/DemoData.h"
#include "loading/CodeTable.h"
#include "loading/DataLoader.h"
#include "loading/DeferredIndexes.h"
#include "loading/LoadChanges.h"
#include "loading/ModTrendWriter.h"
#include "loading/RecordValues.h"
#include "loading/UpdateFile.h"
#include "loading/UpdateRun.h"

#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kState = "PA";

class QuietProgress : public kora::LoadProgress
{
public:
    void status(const std::string&) override {}
};

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Puts the generated files where the update run finds them; the run deletes
// them, the generated copies stay for the next run.
void stage(const fs::path& data, const fs::path& folder)
{
    for (const auto& entry : fs::directory_iterator(data)) {
        const fs::path target = folder / entry.path().filename();
        fs::remove(target);
        std::error_code error;
        fs::create_hard_link(entry.path(), target, error);
        if (error)
            fs::copy_file(entry.path(), target);
    }
}

double timedRun(kora::Database& db, const fs::path& data, const fs::path& folder)
{
    stage(data, folder);
    QuietProgress progress;
    const auto start = Clock::now();
    kora::UpdateRun::run(db, folder, kState, progress);
    return secondsSince(start);
}

// The floor a reload is measured against: the same company and class files
// written into PRIME, MODS and CLASS of a copy of the same database by the
// plainest loader SQLite allows: SQLite as it comes, one thread, one
// transaction, a prepared insert per row into the emptied tables, the indexes
// other than the tables' keys dropped first and built after. A row met twice
// replaces the first; it records no change and keeps no trend.
class BareLoader
{
public:
    // database is a copy of original, whose index definitions and code
    // lists it reads first, outside the timing.
    BareLoader(const fs::path& database, kora::Database& original)
        : m_counties(original, "SELECT CODE, COUNTY FROM COUNTY"),
          m_descriptions(original, "SELECT CLASS, [DESC] FROM CLASSLIST")
    {
        for (const char* table : {"PRIME", "MODS", "CLASS"})
            for (kora::IndexDefinition& index : original.nonUniqueIndexesOf(table))
                m_indexes.push_back(std::move(index));
        if (sqlite3_open_v2(database.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            fail("cannot open " + database.string());
    }
    BareLoader(const BareLoader&) = delete;
    BareLoader& operator=(const BareLoader&) = delete;
    ~BareLoader() { sqlite3_close_v2(m_db); }

    double load(const fs::path& data)
    {
        const auto start = Clock::now();
        execute("BEGIN");
        for (const kora::IndexDefinition& index : m_indexes)
            execute("DROP INDEX \"" + index.name + "\"");
        for (const char* table : {"PRIME", "MODS", "CLASS"})
            execute(std::string("DELETE FROM ") + table);
        loadCompanies(data / kora::DataLoader::companyFileName(kState));
        loadClasses(data / kora::DataLoader::classFileName(kState));
        for (const kora::IndexDefinition& index : m_indexes)
            execute(index.createSql);
        execute("COMMIT");
        return secondsSince(start);
    }

private:
    [[noreturn]] void fail(const std::string& what)
    {
        throw std::runtime_error("bare loader: " + what + ": " + sqlite3_errmsg(m_db));
    }

    void execute(const std::string& sql)
    {
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(sql);
    }

    sqlite3_stmt* prepare(const std::string& sql)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            fail(sql);
        return statement;
    }

    void insert(sqlite3_stmt* statement)
    {
        if (sqlite3_step(statement) != SQLITE_DONE)
            fail("insert");
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }

    static void bind(sqlite3_stmt* statement, int index, std::string_view text)
    {
        sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }

    // Every PRIME column the real load writes, bound from the record's fields.
    void loadCompanies(const fs::path& path)
    {
        using namespace kora::CompanyRecord;
        sqlite3_stmt* company = prepare(
            "INSERT OR REPLACE INTO PRIME (STATE, FILE, SEQUENCE, FILESEQ, NAME1, NameSort, NAME2, "
            "STREET, "
            "CITY, ST, ZIP, ZIPEXT, PHONE, AREA, FAX, CONTACT, TITLE, SIC, COUNTY, COUNTYNAME, "
            "CountySort, EMPLOYEES, SALES, ASSOCIATES, EXPIRE, [MOD], ISSUE1, User1, User2, "
            "User3, Omit) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?, ?, ?, ?, ' ', ' ', ' ', ' ')");
        sqlite3_stmt* mod =
            prepare("INSERT OR REPLACE INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, "
                    "[MOD]) VALUES (?, ?, ?, ?, ?, ?)");
        kora::UpdateFile file(path.string(), kLength);
        while (file.next()) {
            if (file.record() <= std::string_view("!"))
                continue;
            const std::string_view number = file.field(kFile);
            const std::string_view sequence = file.field(kSequence);
            int column = 0;
            for (kora::RecordField field : {kora::CompanyRecord::kState, kFile, kSequence})
                bind(company, ++column, file.field(field));
            bind(company, ++column, std::string(number) + std::string(sequence));
            for (kora::RecordField field :
                 {kName1, kName1, kName2, kStreet, kCity, kSt, kZip, kZipExt, kPhone, kArea, kFax,
                  kContact, kTitle, kSic, kCounty})
                bind(company, ++column, file.field(field));
            if (const std::string* county = m_counties.find(file.field(kCounty))) {
                bind(company, ++column, *county);
                bind(company, ++column, *county);
            } else {
                column += 2;
            }
            bind(company, ++column, file.field(kEmployees));
            bind(company, ++column, file.field(kSales));
            sqlite3_bind_int(company, ++column, file.field(kAssociates) == "Y");
            std::string latestExpire;
            for (int slot = 0; slot < kSlotCount; ++slot) {
                const auto month = kora::RecordValues::digits(
                    file.field(slotField(slot, {kSlotEffective.position + 2, 2})));
                const auto digits =
                    kora::RecordValues::digits(file.field(slotField(slot, kSlotMod)));
                if (!month || *month == 0 || !digits)
                    continue;
                const std::string issue =
                    kora::RecordValues::date(file.field(slotField(slot, kSlotIssue)), true);
                const std::string expire =
                    kora::RecordValues::date(file.field(slotField(slot, kSlotExpire)), true);
                const double value = static_cast<double>(*digits) / 1000.0;
                bind(mod, 1, number);
                bind(mod, 2, sequence);
                bind(mod, 3, issue);
                bind(mod, 4,
                     kora::RecordValues::date(file.field(slotField(slot, kSlotEffective)), true));
                bind(mod, 5, expire);
                sqlite3_bind_double(mod, 6, value);
                insert(mod);
                if (expire > latestExpire) {
                    latestExpire = expire;
                    bind(company, column + 1, expire);
                    sqlite3_bind_double(company, column + 2, value);
                    sqlite3_bind_int(company, column + 3, std::stoi(issue.substr(0, 4)));
                }
            }
            insert(company);
        }
        sqlite3_finalize(company);
        sqlite3_finalize(mod);
    }

    void loadClasses(const fs::path& path)
    {
        using namespace kora::ClassRecord;
        sqlite3_stmt* row =
            prepare("INSERT OR REPLACE INTO CLASS (FILE, SEQUENCE, FILESEQ, CLASS, CLASSDESC, "
                    "LOSSCOST) VALUES (?, ?, ?, ?, ?, ?)");
        kora::UpdateFile file(path.string(), kLength);
        while (file.next()) {
            if (file.record() <= std::string_view(" !"))
                continue;
            const std::string_view number = file.field(kFile);
            const std::string_view sequence = file.field(kSequence);
            bind(row, 1, number);
            bind(row, 2, sequence);
            bind(row, 3, std::string(number) + std::string(sequence));
            bind(row, 4, file.field(kClass));
            if (const std::string* description = m_descriptions.find(file.field(kClass)))
                bind(row, 5, *description);
            if (const auto digits = kora::RecordValues::digits(file.field(kLossCost)))
                sqlite3_bind_double(row, 6, static_cast<double>(*digits) / 100.0);
            insert(row);
        }
        sqlite3_finalize(row);
    }

    kora::CodeTable m_counties;
    kora::CodeTable m_descriptions;
    std::vector<kora::IndexDefinition> m_indexes;
    sqlite3* m_db = nullptr;
};

// The company load alone, changes recorded as in every load.
double timedCompanyLoad(kora::Database& db, const fs::path& data, const fs::path& folder)
{
    const std::string name = kora::DataLoader::companyFileName(kState);
    fs::remove(folder / name);
    fs::copy_file(data / name, folder / name);
    QuietProgress progress;
    const auto start = Clock::now();
    kora::DataLoader(db, folder, kState, progress).loadCompanies();
    const double seconds = secondsSince(start);
    fs::remove(folder / name);
    return seconds;
}

// The calls a company load makes of the change record and the trend writer,
// in the order it makes them: a company, then its mods.
struct StoredRow
{
    std::string file;
    std::string sequence;
    bool hasMod;
    std::string effective;
    std::string expire;
    double mod;
};

std::vector<StoredRow> storedRows(kora::Database& db)
{
    std::vector<StoredRow> rows;
    kora::Statement query =
        db.prepare("SELECT P.FILE, P.SEQUENCE, M.rowid, M.EFFECTIVE, M.EXPIRE, M.[MOD] FROM "
                   "PRIME AS P LEFT JOIN MODS AS M ON M.FILE = P.FILE AND M.SEQUENCE = "
                   "P.SEQUENCE");
    while (query.step())
        rows.push_back({std::string(query.text(0)), std::string(query.text(1)),
                        !query.column(2).isNull(), std::string(query.text(3)),
                        std::string(query.text(4)), query.column(5).toDouble()});
    return rows;
}

// What recording the changes adds to the thread of a company load, on the
// full database and rolled back: the start of the reading of the keys before
// the load, a note of every company and mod the load stores (replayed from
// memory) and the recording, asked for as long after the start as the load
// took (loadSeconds), so that the reading has had the time beside the load
// that it has in a real one.
double timedChangeRecording(kora::Database& db, const std::vector<StoredRow>& rows,
                            double loadSeconds)
{
    kora::Transaction transaction(db);
    const auto start = Clock::now();
    kora::LoadChanges changes(db);
    for (const StoredRow& row : rows) {
        changes.noteCompany(row.file, row.sequence);
        if (row.hasMod)
            changes.noteMod(row.effective, row.expire);
    }
    const double noting = secondsSince(start);
    std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(
                                              std::chrono::duration<double>(loadSeconds)));
    const auto recordStart = Clock::now();
    changes.record();
    return noting + secondsSince(recordStart);
}

// What keeping the mod trends adds to a company load, rolled back: the table
// emptied with its indexes set aside, every company and mod the load stores
// (replayed from memory) and the indexes built again.
double timedTrendWriting(kora::Database& db, const std::vector<StoredRow>& rows)
{
    const auto start = Clock::now();
    kora::Transaction transaction(db);
    kora::DeferredIndexes indexes(db, {"MODTREND"});
    db.execute("DELETE FROM MODTREND");
    kora::ModTrendWriter trend(db);
    for (const StoredRow& row : rows) {
        trend.company(row.file, row.sequence);
        if (row.hasMod)
            trend.mod(row.effective, row.expire, row.mod);
    }
    indexes.rebuild();
    trend.finish();
    return secondsSince(start);
}

// Working the trends of a whole state out from PRIME and MODS, as for a
// database of an older release; rolled back.
double timedTrendFill(kora::Database& db)
{
    const auto start = Clock::now();
    kora::Transaction transaction(db);
    kora::ModTrendWriter::fill(db);
    return secondsSince(start);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long long count(kora::Database& db, const std::string& table)
{
    kora::Statement query = db.prepare("SELECT COUNT(*) FROM " + table);
    query.step();
    return query.column(0).toInteger();
}

int usage()
{
    std::cerr << "usage: kora_load_bench [--folder DIR] [--keep] [--companies N] [--runs R] "
                 "[--server CONNINFO]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string folderOption;
    std::string server;
    bool keep = false;
    long long companies = 300'000;
    int runs = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--keep")
            keep = true;
        else if (argument == "--folder" && i + 1 < argc)
            folderOption = argv[++i];
        else if (argument == "--server" && i + 1 < argc)
            server = argv[++i];
        else if (argument == "--companies" && i + 1 < argc)
            companies = std::atoll(argv[++i]);
        else if (argument == "--runs" && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else
            return usage();
    }
    if (companies < 1 || runs < 1)
        return usage();

    try {
        fs::path folder = folderOption;
        if (folder.empty()) {
            std::string pattern = (fs::temp_directory_path() / "kora_load_bench-XXXXXX").string();
            if (!mkdtemp(pattern.data()))
                throw std::runtime_error("cannot make a scratch folder");
            folder = pattern;
        }
        kora::Installation installation(folder.string());
        installation.create(false);
        if (!server.empty())
            kora::StatePublication(folder.string(), kState).toServer(server);
        const fs::path earlier = folder / "bench-data-earlier";
        const fs::path data = folder / "bench-data";
        fs::create_directories(earlier);
        fs::create_directories(data);

        auto start = Clock::now();
        kora::DemoData(kState, companies, kora::Dates::today(), kora::DemoData::Delivery::Earlier)
            .writeUpdateFiles(earlier);
        kora::DemoData(kState, companies, kora::Dates::today()).writeUpdateFiles(data);
        std::printf(
            "generate   %8.2f s  (%lld employers, company file %.0f MB, class file %.0f MB)\n",
            secondsSince(start), companies,
            static_cast<double>(fs::file_size(data / "DATAPA.DAT")) / 1e6,
            static_cast<double>(fs::file_size(data / "DATA1PA.DAT")) / 1e6);

        const fs::path databasePath = folder / kora::stateDatabaseName(kState);
        kora::Database db(databasePath.string(), installation.stateConnect(kState));
        std::printf("first load %8.2f s  (the earlier delivery, into an empty database)\n",
                    timedRun(db, earlier, folder));
        // Each run goes back to the earlier delivery first, so that every
        // reload has the same changes to make.
        std::vector<double> reloads;
        std::vector<double> bareLoads;
        for (int run = 0; run < runs; ++run) {
            if (run > 0)
                timedRun(db, earlier, folder);
            kora::BackgroundCheckpoint::wait();
            if (server.empty()) {
                db.execute("PRAGMA wal_checkpoint(TRUNCATE)");
                const fs::path copy = folder / "bare-load.db";
                fs::copy_file(databasePath, copy, fs::copy_options::overwrite_existing);
                bareLoads.push_back(BareLoader(copy, db).load(data));
                fs::remove(copy);
            } else {
                // As the state stands between two deliveries: the server's
                // autovacuum has been over the tables the last load wrote,
                // and does not start on them during the timed one.
                db.execute("VACUUM (ANALYZE)");
            }
            reloads.push_back(timedRun(db, data, folder));
        }
        const double seconds = median(reloads);
        const long long rows = count(db, "PRIME") + count(db, "MODS") + count(db, "CLASS");
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("reload     %8.2f s  (into a full database; median of %d)\n", seconds, runs);
        if (!bareLoads.empty())
            std::printf("bare load  %8.2f s  (the same files, bare SQLite loader; reload %.2fx)\n",
                        median(bareLoads), seconds / median(bareLoads));
        std::printf("rows       %8lld    (PRIME %lld, MODS %lld, CLASS %lld)\n", rows,
                    count(db, "PRIME"), count(db, "MODS"), count(db, "CLASS"));
        std::printf("rows/s     %8.0f\n", static_cast<double>(rows) / seconds);
        std::printf("peak RSS   %8.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
        std::printf("changes    %8lld    (recorded by the reload)\n", count(db, "LOADCHANGES"));
        kora::BackgroundCheckpoint::wait();
        // The earlier company file again, so that the latest one timed alone
        // has its changes to record, and leaves them for other benchmarks.
        timedCompanyLoad(db, earlier, folder);
        const double companyLoad = timedCompanyLoad(db, data, folder);
        const std::vector<StoredRow> stored = storedRows(db);
        const double recording = timedChangeRecording(db, stored, companyLoad);
        const double trends = timedTrendWriting(db, stored);
        const double bare = companyLoad - recording - trends;
        std::printf("companies  %8.2f s  (the company load alone, changes and trends kept)\n",
                    companyLoad);
        std::printf("recording  %8.2f s  (%.1f %% over the company load without either)\n",
                    recording, 100.0 * recording / bare);
        std::printf("trends     %8.2f s  (%.1f %% over the company load without either)\n", trends,
                    100.0 * trends / bare);
        std::printf("both       %8.2f s  (%.1f %% over the company load without either)\n",
                    recording + trends, 100.0 * (recording + trends) / bare);
        std::printf("trend fill %8.2f s  (a whole state's trends from PRIME and MODS)\n",
                    timedTrendFill(db));
        db.close();

        fs::remove_all(data);
        fs::remove_all(earlier);
        if (keep)
            std::printf("PA installation kept in %s\n", folder.string().c_str());
        else
            fs::remove_all(folder);
    } catch (const std::exception& error) {
        std::cerr << "kora_load_bench: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
