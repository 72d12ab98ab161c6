// Times lookups on a state database of an installation: a typical lookup
// (mod, two zip ranges, an expiration range over the year end, a class range)
// up to its first 50 rows in name order, and a class range selecting about
// 70 % of the state read to its end; each prospecting criterion alone and
// after a zip range up to its first 50 rows; the live count of the typical
// lookup; and the breakdown of the whole state by each grouping. Prints the
// figures and the query plans.
//
//   kora_lookup_bench --folder DIR --state PA [--generate N] [--runs R] [--only TEXT]
//
// --generate N first fills the state database with N synthetic companies
// (creating the installation when needed), replacing its companies. --only
// TEXT runs only the lookups whose names hold the text.

#include "base/Folders.h"
#include "base/StateCodes.h"
#include "database/Database.h"
#include "database/DbError.h"
#include "database/Installation.h"
#include "database/QueryRecordSet.h"
#include "database/Transaction.h"
#include "loading/ModTrendWriter.h"
#include "loading/UpdateRun.h"
#include "lookup/FieldCatalogue.h"
#include "lookup/LookupFolder.h"
#include "lookup/LookupSearch.h"
#include "results/Breakdown.h"
#include "results/LiveCount.h"
#include "results/OrderedCompanies.h"
#include "results/ResultListData.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using namespace kora;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string digits(long long number, int width)
{
    char text[32];
    std::snprintf(text, sizeof text, "%0*lld", width, number);
    return text;
}

void generate(Database& db, long long companies)
{
    static const char* const words[] = {
        "ACME",    "ALLEGHENY", "BAKER",   "BENSON", "CARSON",   "CENTRAL", "DELTA",  "EAGLE",
        "EVANS",   "FOX",       "GENERAL", "GRAY",   "HARBOR",   "HILL",    "IRON",   "KEYSTONE",
        "LIBERTY", "MILLER",    "NORTH",   "OAK",    "PENN",     "QUAKER",  "RIVER",  "SMITH",
        "SUMMIT",  "TRI-STATE", "UNION",   "VALLEY", "WEST",     "YORK",    "ZENITH", "BROTHERS",
        "TOOL",    "STEEL",     "FARM",    "BAKERY", "CONCRETE", "DINER",   "MOTORS", "PLASTICS"};
    static const char* const suffixes[] = {"INC", "CO", "LLC", "CORP", "& SONS"};
    static const char* const areas[] = {"215", "267", "412", "484", "570", "610", "717", "724"};
    std::mt19937 random(20240601);
    auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };

    Transaction transaction(db);
    db.execute("DELETE * FROM PRIME");
    db.execute("DELETE * FROM MODS");
    db.execute("DELETE * FROM CLASS");
    Statement prime = db.prepare(
        "INSERT INTO PRIME (STATE, FILE, SEQUENCE, FILESEQ, NAME1, NameSort, NAME2, STREET, CITY, "
        "ST, ZIP, PHONE, AREA, SIC, COUNTY, COUNTYNAME, CountySort, EMPLOYEES, SALES, EXPIRE, MOD, "
        "ISSUE1, User1, User2, User3, Omit) VALUES (?, ?, '01', ?, ?, ?, ' ', ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?, ' ', ' ', ' ', ' ')");
    Statement mod = db.prepare("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) "
                               "VALUES (?, '01', ?, ?, ?, ?)");
    Statement rating =
        db.prepare("INSERT INTO CLASS (FILE, SEQUENCE, FILESEQ, CLASS, CLASSDESC, LOSSCOST) VALUES "
                   "(?, '01', ?, ?, 'SYNTHETIC CLASS', ?)");
    for (long long i = 0; i < companies; ++i) {
        const std::string file = digits(1000000 + i, 7);
        const std::string name =
            std::string(words[pick(0, 39)]) + " " + words[pick(0, 39)] + " " + suffixes[pick(0, 4)];
        const std::string county = digits(pick(1, 67), 3);
        const std::string area = areas[pick(0, 7)];
        const int month = pick(1, 12);
        const int day = pick(1, 28);
        const int year = month > 6 ? 2025 : 2026;
        const std::string expire = digits(year, 4) + "-" + digits(month, 2) + "-" + digits(day, 2);
        const std::string issued = digits(year - 1, 4) + "-" + digits(month, 2) + "-01";
        const double modValue = pick(600, 2000) / 1000.0;
        prime.reset();
        prime
            .bindAll({"PA",
                      file,
                      file + "01",
                      name,
                      name,
                      std::to_string(pick(1, 9999)) + " MAIN ST",
                      "PITTSBURGH",
                      "PA",
                      digits(pick(15000, 19699), 5),
                      area + "-555-" + digits(pick(0, 9999), 4),
                      area,
                      digits(pick(100, 9999), 4),
                      county,
                      "COUNTY " + county,
                      "COUNTY " + county,
                      std::to_string(pick(0, 9)),
                      std::to_string(pick(0, 9)),
                      expire,
                      modValue,
                      year - 1})
            .run();
        for (int back = 0; back < 2; ++back) {
            const std::string shift = digits(year - back, 4);
            mod.reset();
            mod.bindAll({file, issued, shift + expire.substr(4), shift + expire.substr(4),
                         back ? pick(600, 2000) / 1000.0 : modValue})
                .run();
        }
        std::set<int> codes;
        const int count = pick(1, 3);
        while (static_cast<int>(codes.size()) < count)
            codes.insert(pick(1, 600) * 16);
        for (int code : codes) {
            rating.reset();
            rating.bindAll({file, file + "01", digits(code, 4), pick(50, 2500) / 100.0}).run();
        }
    }
    // What a company load records: about one company in 25 new, one in 12 with a new mod.
    db.execute("DELETE FROM LOADCHANGES");
    db.execute("INSERT INTO LOADCHANGES (FILE, SEQUENCE, CHANGE) SELECT FILE, SEQUENCE, 'New "
               "Company' FROM PRIME WHERE CAST(FILE AS INTEGER) % 25 = 0");
    // A company is recorded once: a new one is not also one with a new mod.
    db.execute("INSERT INTO LOADCHANGES (FILE, SEQUENCE, CHANGE) SELECT FILE, SEQUENCE, 'New "
               "Mod' FROM PRIME WHERE CAST(FILE AS INTEGER) % 12 = 1 AND "
               "CAST(FILE AS INTEGER) % 25 <> 0");
    // Every company has its notes row, as after a load: the result list reads it.
    db.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) SELECT FILE, SEQUENCE, ' ' FROM PRIME "
               "WHERE 1 ON CONFLICT DO NOTHING");
    ModTrendWriter::fill(db);
    transaction.commit();
}

long long countOf(Database& db, const std::string& sql)
{
    Statement count = db.prepare(sql);
    return count.step() ? count.column(0).toInteger() : 0;
}

std::string textAt(Database& db, const std::string& sql)
{
    Statement query = db.prepare(sql);
    return query.step() ? query.column(0).toString() : std::string();
}

// The class codes in order with the number of companies holding each.
std::vector<std::pair<std::string, long long>> classCounts(Database& db)
{
    std::vector<std::pair<std::string, long long>> counts;
    Statement query = db.prepare("SELECT CLASS, COUNT(*) FROM CLASS GROUP BY CLASS ORDER BY CLASS");
    while (query.step())
        counts.emplace_back(query.column(0).toString(), query.column(1).toInteger());
    return counts;
}

long long companiesInClasses(Database& db, const std::string& from, const std::string& thru)
{
    return countOf(db, "SELECT COUNT(*) FROM PRIME WHERE FILESEQ IN (SELECT FILESEQ FROM CLASS "
                       "WHERE CLASS BETWEEN '" +
                           from + "' AND '" + thru + "')");
}

// The class range from the first code whose companies come nearest a share of the state.
std::string classThruFor(Database& db, const std::vector<std::pair<std::string, long long>>& codes,
                         double share, long long companies)
{
    size_t low = 0;
    size_t high = codes.size() - 1;
    while (low < high) {
        const size_t middle = (low + high) / 2;
        if (companiesInClasses(db, codes.front().first, codes[middle].first) >= share * companies)
            high = middle;
        else
            low = middle + 1;
    }
    return codes[low].first;
}

SQLPARAMETER criterion(int position, const std::string& from, const std::string& thru)
{
    return {"",   FieldCatalogue::caption(position, "PA"), from,
            thru, FieldCatalogue::code(position),          false};
}

void printPlan(Database& db, const std::string& sql)
{
    std::cout << "  plan of: " << sql << "\n";
    try {
        Statement plan = db.prepare("EXPLAIN QUERY PLAN " + sql);
        std::map<long long, int> depth;
        while (plan.step()) {
            const int level = depth[plan.column(1).toInteger()] + 1;
            depth[plan.column(0).toInteger()] = level;
            std::cout << "    " << std::string(2 * static_cast<size_t>(level), ' ')
                      << plan.column(3).toString() << "\n";
        }
        return;
    } catch (const DbError&) {
        // A state on a server: its own plan, a line a row.
    }
    Statement plan = db.prepare("EXPLAIN " + sql);
    while (plan.step())
        std::cout << "      " << plan.column(0).toString() << "\n";
}

struct Timing
{
    std::vector<double> runs;

    void add(double milliseconds) { runs.push_back(milliseconds); }
    std::string summary() const
    {
        std::vector<double> sorted = runs;
        std::sort(sorted.begin(), sorted.end());
        char text[128];
        std::snprintf(text, sizeof text, "min %8.1f ms  median %8.1f ms  max %8.1f ms",
                      sorted.front(), sorted[sorted.size() / 2], sorted.back());
        return text;
    }
};

// Sets a lookup up from its file and runs it sorted by name as the result list
// does: the count, then its first rows through a record set and as the result
// list reads them (firstRows 0: the whole result), and the floor beside them:
// the engine's own pass over the same rows and every column of the statement.
// The rows the result list reads before it shows a grid.
constexpr size_t kListFirstRows = 200;

void runLookup(Database& db, const std::string& name, const std::string& path, int runs,
               long long firstRows)
{
    const long long rowsToRead = firstRows > 0 ? firstRows : std::numeric_limits<long long>::max();
    Timing setUp;
    Timing count;
    Timing rows;
    Timing listRows;
    Timing engine;
    long long selected = 0;
    long long read = 0;
    LookupSearch search("PA");
    // One list for every run, as the agent's list keeps its reader.
    OrderedCompanies companies(db);
    companies.readRestInBackground([&db] { return db.reader(); }, kListFirstRows, [] {});
    for (int run = 0; run < runs; ++run) {
        auto start = Clock::now();
        if (!search.SetUpSQL(path, false).ready || !search.sortBy(kora::GridColumn::Name))
            throw std::runtime_error("the lookup " + name + " was refused");
        setUp.add(millisecondsSince(start));

        start = Clock::now();
        selected = search.recordCount(db);
        count.add(millisecondsSince(start));

        start = Clock::now();
        {
            QueryRecordSet records(db, search.recordSource());
            for (read = 0; read < rowsToRead && !records.eof(); ++read, records.moveNext())
                records.field("NAME1");
        }
        rows.add(millisecondsSince(start));

        // The floor: the record source's statement alone, over the same rows,
        // before the list's reader reads the rest of its rows beside it.
        start = Clock::now();
        {
            Statement statement = db.prepare(search.recordSource());
            for (long long at = 0; at < rowsToRead && statement.step(); ++at)
                for (int column = 0; column < statement.columnCount(); ++column)
                    statement.column(column);
        }
        engine.add(millisecondsSince(start));

        // The result list reads the row ids and names of its first rows, then
        // the rows it shows by id; the rest of the ids come from a reader of
        // their own, which a whole result waits for.
        start = Clock::now();
        {
            const auto gridRows = ResultListData::lookupGridRows(search.source(), "NAME1");
            companies.load(gridRows.all, gridRows.first);
            if (firstRows == 0 && companies.fetchRest(true))
                companies.takeRest();
            for (long long at = 0; at < std::min(rowsToRead, companies.count()); ++at)
                companies.row(at);
        }
        listRows.add(millisecondsSince(start));
    }
    std::cout << name << ": " << selected << " companies, " << read << " rows read\n"
              << "  read and build      " << setUp.summary() << "\n"
              << "  count               " << count.summary() << "\n"
              << "  rows (record set)   " << rows.summary() << "\n"
              << "  rows (engine only)  " << engine.summary() << "\n"
              << "  rows (result list)  " << listRows.summary() << "\n";
    printPlan(db, search.recordSource());
    printPlan(db, "SELECT COUNT(*) FROM (" + search.CurSQL() + ")");
}

// From the request of a count to its report, as the lookup editor waits for it.
void runLiveCount(Database& db, const std::vector<SQLPARAMETER>& criteria, int runs)
{
    std::mutex mutex;
    std::condition_variable reported;
    std::optional<LiveCount::Result> result;
    LiveCount count(db.reader(), std::chrono::milliseconds(0), [&](const LiveCount::Result& r) {
        const std::lock_guard<std::mutex> lock(mutex);
        result = r;
        reported.notify_all();
    });
    Timing timing;
    for (int run = 0; run < runs; ++run) {
        std::unique_lock<std::mutex> lock(mutex);
        result.reset();
        const auto start = Clock::now();
        lock.unlock();
        count.request(criteria);
        lock.lock();
        reported.wait(lock, [&] { return result.has_value(); });
        timing.add(millisecondsSince(start));
    }
    std::cout << "live count of the typical lookup: " << result->companies << " companies"
              << (result->error.empty() ? "" : ", " + result->error) << "\n"
              << "  request to report   " << timing.summary() << "\n";
}

void runBreakdowns(Database& db, int runs)
{
    const std::pair<const char*, Breakdown::By> groupings[] = {
        {"county", Breakdown::By::County},
        {"sic", Breakdown::By::SicGroup},
        {"modband", Breakdown::By::ModBand},
        {"month", Breakdown::By::ExpirationMonth}};
    for (const auto& [name, by] : groupings) {
        Timing timing;
        size_t groups = 0;
        for (int run = 0; run < runs; ++run) {
            const auto start = Clock::now();
            groups = Breakdown::count(db, LookupStatement{}, by).groups.size();
            timing.add(millisecondsSince(start));
        }
        std::cout << "breakdown of the whole state by " << name << ": " << groups << " groups\n"
                  << "  count               " << timing.summary() << "\n";
    }
}

std::string option(const std::vector<std::string>& arguments, const std::string& name,
                   const std::string& fallback)
{
    for (size_t i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i] == name)
            return arguments[i + 1];
    return fallback;
}

int run(const std::vector<std::string>& arguments)
{
    const std::string folder = Folders::withSeparator(option(arguments, "--folder", "."));
    const std::string state = option(arguments, "--state", "PA");
    const int runs = std::stoi(option(arguments, "--runs", "5"));
    const long long generated = std::stoll(option(arguments, "--generate", "0"));
    if (!isStateCode(state) || runs < 1)
        throw std::invalid_argument("usage: kora_lookup_bench --folder DIR --state ST "
                                    "[--generate N] [--runs R] [--only TEXT]");

    Installation installation(folder);
    if (generated > 0)
        installation.create(false);
    Database db(folder + stateDatabaseName(state), installation.stateConnect(state));
    // The tables the workspace window's acceptance adds to a state of an older program.
    UpdateRun::addMissingTables(db);
    if (generated > 0) {
        const auto start = Clock::now();
        generate(db, generated);
        std::cout << "generated " << generated << " companies in " << millisecondsSince(start)
                  << " ms\n";
    }
    {
        // A database of an older release gets its mod trends here, as on opening.
        const auto start = Clock::now();
        const bool missing = !db.tableExists("MODTREND");
        UpdateRun::addMissingTables(db);
        if (missing)
            std::cout << "mod trends added in " << millisecondsSince(start) << " ms\n";
    }

    const long long companies = countOf(db, "SELECT COUNT(*) FROM PRIME");
    const auto codes = classCounts(db);
    if (companies == 0 || codes.empty())
        throw std::runtime_error("the state database has no companies with classes");
    std::cout << state << ": " << companies << " companies, " << codes.size() << " class codes\n";

    // A typical lookup: two zip groups around the first and third quarter of
    // the zips, and a tenth of the class codes from the middle.
    auto zipGroup = [&](long long at) {
        return textAt(db,
                      "SELECT ZIP FROM PRIME WHERE ZIP IS NOT NULL ORDER BY ZIP LIMIT 1 OFFSET " +
                          std::to_string(at))
            .substr(0, 3);
    };
    const std::string zip1 = zipGroup(companies / 4);
    const std::string zip2 = zipGroup(companies * 3 / 4);
    const size_t classFrom = codes.size() * 4 / 10;
    const size_t classThru = std::min(codes.size() - 1, classFrom + codes.size() / 10);
    const std::vector<SQLPARAMETER> typical = {
        criterion(FieldCatalogue::ExperienceMod, "1.250", "9.999"),
        criterion(FieldCatalogue::ZipCode, zip1 + "00", zip1 + "99"),
        criterion(FieldCatalogue::ZipCode, zip2 + "00", zip2 + "99"),
        criterion(FieldCatalogue::ExpirationDate, "1101", "0228"),
        criterion(FieldCatalogue::ClassCode, codes[classFrom].first, codes[classThru].first)};
    const auto common = std::max_element(codes.begin(), codes.end(),
                                         [](auto& a, auto& b) { return a.second < b.second; });
    const std::vector<SQLPARAMETER> oneClass = {
        criterion(FieldCatalogue::ClassCode, common->first, common->first)};
    const std::vector<SQLPARAMETER> dates = {
        criterion(FieldCatalogue::ExperienceMod, "1.250", "9.999"),
        criterion(FieldCatalogue::ExpirationDate, "1101", "0228")};
    const std::vector<SQLPARAMETER> broad = {criterion(
        FieldCatalogue::ClassCode, codes.front().first, classThruFor(db, codes, 0.7, companies))};

    const std::string workspace = (std::filesystem::temp_directory_path() /
                                   ("kora-lookup-bench-" + std::to_string(::getpid())))
                                      .string();
    std::filesystem::create_directories(workspace);
    const LookupFolder lookups(workspace);
    const std::string typicalFile = lookups.save("TYPICAL", typical, "").fileName;
    const std::string oneClassFile = lookups.save("ONE CLASS", oneClass, "").fileName;
    const std::string datesFile = lookups.save("DATES", dates, "").fileName;
    const std::string broadFile = lookups.save("BROAD", broad, "").fileName;
    const std::vector<std::pair<std::string, SQLPARAMETER>> prospecting = {
        {"renews within 90 to 120 days", criterion(FieldCatalogue::RenewsWithin, "90", "120")},
        {"mod change of +0.050 and more", criterion(FieldCatalogue::ModChange, "0.050", "9.999")},
        {"three years and more over 1.00", criterion(FieldCatalogue::YearsModOver, "3", "99")},
        {"any change in the last update",
         criterion(FieldCatalogue::LastUpdate, "Any Change", "Any Change")}};
    // A folder of their own: a workspace holds nine lookups at most.
    std::filesystem::create_directories(workspace + "/prospecting");
    const LookupFolder prospectingLookups(workspace + "/prospecting/");
    std::vector<std::pair<std::string, std::string>> prospectingFiles;
    for (const auto& [name, single] : prospecting) {
        prospectingFiles.emplace_back(name + " alone, first 50 rows",
                                      prospectingLookups.save(name, {single}, "").fileName);
        prospectingFiles.emplace_back(
            name + " after a zip range, first 50 rows",
            prospectingLookups
                .save(name + " ZIP",
                      {criterion(FieldCatalogue::ZipCode, zip1 + "00", zip1 + "99"), single}, "")
                .fileName);
    }
    const std::string only = option(arguments, "--only", "");
    const auto chosen = [&only](const std::string& name) {
        return name.find(only) != std::string::npos;
    };
    try {
        const std::vector<std::pair<std::string, std::string>> lookupRuns = {
            {"typical lookup, first 50 rows", lookups.path(typicalFile)},
            {"the most common class code, first 50 rows", lookups.path(oneClassFile)},
            {"mod and expiration ranges only, first 50 rows", lookups.path(datesFile)},
            {"class range of about 70 %, whole result", lookups.path(broadFile)}};
        for (const auto& [name, path] : lookupRuns)
            if (chosen(name))
                runLookup(db, name, path, runs, path == lookups.path(broadFile) ? 0 : 50);
        for (const auto& [name, file] : prospectingFiles)
            if (chosen(name))
                runLookup(db, name, prospectingLookups.path(file), runs, 50);
        if (only.empty()) {
            runLiveCount(db, typical, runs);
            runBreakdowns(db, runs);
        }
    } catch (...) {
        std::filesystem::remove_all(workspace);
        throw;
    }
    std::filesystem::remove_all(workspace);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "kora_lookup_bench: " << error.what() << "\n";
        return 1;
    }
}
