// Times exports of a tenth of a full state, each beside the bare floor: the
// same reads made through plain statements, with nothing written, once with a
// read call per page and once through a memory map.
//
//   kora_export_bench --folder DIR [--state PA] [--lookup FILE.KRD | --companies 30000]
//                     [--runs 5]
//
// DIR is an installation with a full state, as kora_load_bench --keep leaves
// it; it is only read. The companies are a lookup's, ordered by name, or the
// first ones in key order. Reported, as medians of the runs: the full comma
// layout, the workbook, and the scratch pass of the expiration sort.

#include "base/StateCodes.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "lookup/LookupSearch.h"
#include "output/ExpirationOrder.h"
#include "output/ExportWriter.h"
#include "output/MappedReads.h"
#include "output/ReportDatabase.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class QuietProgress : public kora::ExportProgress
{
public:
    void starting(long long) override {}
    void counted(long long) override {}
};

// Reads every column of every row of a statement, as text kept in place.
long long readAll(kora::Statement& rows)
{
    long long count = 0;
    while (rows.step()) {
        for (int column = 0; column < rows.columnCount(); ++column)
            rows.text(column);
        ++count;
    }
    return count;
}

int columnNamed(const kora::Statement& rows, const std::string& name)
{
    for (int column = 0; column < rows.columnCount(); ++column)
        if (rows.columnName(column) == name)
            return column;
    throw std::runtime_error("the rows have no " + name);
}

// The reads of an export through the statements the writer runs: the rows,
// then each company's mods newest first and, for the full layouts, its
// classes with their descriptions.
long long bareExportReads(kora::Database& db, const std::string& sql, bool classes)
{
    kora::Statement rows = db.prepare(sql);
    kora::Statement mods = db.prepare("SELECT ISSUE, EFFECTIVE, EXPIRE, [MOD] FROM MODS WHERE FILE "
                                      "= ? AND SEQUENCE = ? ORDER BY EFFECTIVE DESC, EXPIRE DESC, "
                                      "ISSUE DESC");
    kora::Statement classRows =
        db.prepare("SELECT C.CLASS, L.\"DESC\" FROM CLASS C LEFT JOIN CLASSLIST L ON L.CLASS = "
                   "C.CLASS WHERE C.FILE = ? AND C.SEQUENCE = ?");
    const int file = columnNamed(rows, "FILE");
    const int sequence = columnNamed(rows, "SEQUENCE");
    long long count = 0;
    while (rows.step()) {
        for (int column = 0; column < rows.columnCount(); ++column)
            rows.text(column);
        for (kora::Statement* company : {&mods, &classRows}) {
            if (company == &classRows && !classes)
                continue;
            company->reset();
            company->bindText(1, rows.text(file)).bindText(2, rows.text(sequence));
            readAll(*company);
        }
        ++count;
    }
    return count;
}

// Wall-clock and processor seconds: on a shared machine the second shows
// what the work itself costs while others hold the cores.
struct Timing
{
    double wall = 0;
    double cpu = 0;
};

double median(std::vector<double> seconds)
{
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

// The medians of runs timings of work.
template <typename Work> Timing timed(int runs, Work work)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        work();
        cpu.push_back(static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
        wall.push_back(secondsSince(start));
    }
    return {median(wall), median(cpu)};
}

void report(const char* what, Timing measured, Timing floor, Timing mappedFloor, double limit)
{
    std::printf("%-19s %5.2f s (cpu %4.2f)   bare floor %5.2f s (cpu %4.2f), mapped %5.2f s (cpu "
                "%4.2f)   limit %3.1f s  %s\n",
                what, measured.wall, measured.cpu, floor.wall, floor.cpu, mappedFloor.wall,
                mappedFloor.cpu, limit, measured.wall < limit ? "ok" : "TOO SLOW");
}

} // namespace

int main(int argc, char** argv)
{
    std::map<std::string, std::string> options = {
        {"--state", "PA"}, {"--companies", "30000"}, {"--runs", "5"}};
    for (int i = 1; i + 1 < argc; i += 2)
        options[argv[i]] = argv[i + 1];
    if (!options.count("--folder")) {
        std::cerr << "usage: kora_export_bench --folder DIR [--state PA] [--lookup FILE.KRD | "
                     "--companies 30000] [--runs 5]\n";
        return 2;
    }
    std::string folder = options["--folder"];
    if (folder.back() != '/')
        folder += '/';
    const std::string state = options["--state"];
    const int runs = std::max(1, std::atoi(options["--runs"].c_str()));

    try {
        kora::Database db(folder + kora::stateDatabaseName(state),
                          kora::Installation(folder).stateConnect(state));
        std::string where;
        std::string source;
        if (options.count("--lookup")) {
            // The lookup's companies ordered by name, as the export window gets them.
            kora::LookupSearch search(state);
            if (!search.SetUpSQL(options["--lookup"], false).ready)
                throw std::runtime_error("the lookup cannot be read");
            search.sortBy(kora::GridColumn::Name);
            where = search.CurSQL();
            source = search.recordSource();
        } else {
            // The first companies in key order, as a lookup with its ORDER BY.
            kora::Statement last =
                db.prepare("SELECT FILESEQ FROM PRIME ORDER BY FILESEQ LIMIT 1 "
                           "OFFSET " +
                           std::to_string(std::atoll(options["--companies"].c_str()) - 1));
            if (!last.step())
                throw std::runtime_error("the state holds fewer companies than asked for");
            where = "SELECT * FROM PRIME WHERE FILESEQ <= '" + last.column(0).toString() + "'";
            source = where + " ORDER BY NAME1";
        }

        // Written to the temporary folder: the installation is only read.
        const std::string out =
            (std::filesystem::temp_directory_path() / "kora-bench-export.out").string();
        QuietProgress quiet;
        kora::ExportWriter writer(db, state, folder);
        const auto timedExport = [&](kora::ExportLayout layout) {
            long long exported = 0;
            const Timing seconds = timed(runs, [&] {
                exported = writer
                               .run(source, {layout, kora::ExportSort::Name, false}, out,
                                    "Benchmark", quiet)
                               .exported;
            });
            std::printf("%lld companies, %.1f MB\n", exported,
                        static_cast<double>(std::filesystem::file_size(out)) / 1e6);
            return seconds;
        };
        const std::string sorted = kora::ExportWriter::sortedSource(source, kora::ExportSort::Name);
        const auto floors = [&](const std::string& sql, bool classes) {
            const Timing paged = timed(runs, [&] { bareExportReads(db, sql, classes); });
            // Mapped afresh for each run, as each export maps the file anew.
            return std::pair{paged, timed(runs, [&] {
                                 const kora::MappedReads mapped(db);
                                 bareExportReads(db, sql, classes);
                             })};
        };

        const auto [readFloor, mappedFloor] = floors(sorted, true);
        report("comma layout", timedExport(kora::ExportLayout::Comma), readFloor, mappedFloor, 2.0);
        report("workbook", timedExport(kora::ExportLayout::Workbook), readFloor, mappedFloor, 4.0);

        // As the export runs it: on the mapped state.
        const Timing pass = timed(runs, [&] {
            const kora::MappedReads mapped(db);
            kora::Database scratch = kora::ReportDatabase::openScratch(folder);
            kora::ExpirationOrder::fill(db, where, scratch, false, kora::ExportSort::Expiration,
                                        quiet);
        });
        const auto [passFloor, mappedPassFloor] = floors(where, false);
        report("expiration scratch", pass, passFloor, mappedPassFloor, 3.0);
        std::filesystem::remove(out);
    } catch (const std::exception& error) {
        std::cerr << "kora_export_bench: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
