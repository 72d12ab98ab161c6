// Times exports of a tenth of a full state, each beside the bare floor: the
// same reads made through plain statements, with nothing written.
//
//   kora_export_bench --folder DIR [--state PA] [--companies 30000]
//
// DIR is an installation with a full state, as kora_load_bench --keep leaves
// it. Reported: the full comma layout, the workbook, and the scratch pass of
// the expiration sort.

#include "base/StateCodes.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "output/ExpirationOrder.h"
#include "output/ExportWriter.h"
#include "output/ReportDatabase.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

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

// Reads every column of every row of a statement; returns the rows read.
long long readAll(kora::Statement& rows)
{
    long long count = 0;
    while (rows.step()) {
        for (int column = 0; column < rows.columnCount(); ++column)
            rows.column(column);
        ++count;
    }
    return count;
}

// The reads of an export: the rows, then each company's mods and classes with
// their descriptions.
long long bareExportReads(kora::Database& db, const std::string& sql, bool classes)
{
    kora::Statement rows = db.prepare(sql);
    kora::Statement mods = db.prepare("SELECT * FROM MODS WHERE FILE = ? AND SEQUENCE = ? ORDER "
                                      "BY EFFECTIVE DESC, EXPIRE DESC, ISSUE DESC");
    kora::Statement classRows = db.prepare("SELECT * FROM CLASS WHERE FILE = ? AND SEQUENCE = ?");
    kora::Statement description = db.prepare("SELECT \"DESC\" FROM CLASSLIST WHERE CLASS = ?");
    long long count = 0;
    const int file = 0;
    const int sequence = 1;
    while (rows.step()) {
        for (int column = 0; column < rows.columnCount(); ++column)
            rows.column(column);
        mods.reset();
        mods.bindAll({rows.column(file), rows.column(sequence)});
        readAll(mods);
        if (classes) {
            classRows.reset();
            classRows.bindAll({rows.column(file), rows.column(sequence)});
            while (classRows.step()) {
                description.reset();
                description.bindAll({classRows.column(2)});
                readAll(description);
            }
        }
        ++count;
    }
    return count;
}

void report(const char* what, double seconds, double floor, double limit)
{
    std::printf("%-22s %6.2f s   bare floor %6.2f s   limit %4.1f s  %s\n", what, seconds, floor,
                limit, seconds < limit ? "ok" : "TOO SLOW");
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder;
    std::string state = "PA";
    long long companies = 30'000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--folder")
            folder = argv[i + 1];
        else if (option == "--state")
            state = argv[i + 1];
        else if (option == "--companies")
            companies = std::atoll(argv[i + 1]);
    }
    if (folder.empty()) {
        std::cerr << "usage: kora_export_bench --folder DIR [--state PA] [--companies 30000]\n";
        return 2;
    }
    if (folder.back() != '/')
        folder += '/';

    try {
        kora::Database db(folder + kora::stateDatabaseName(state),
                          kora::Installation(folder).stateConnect(state));
        // The first companies in key order, as a lookup with its ORDER BY.
        kora::Statement last = db.prepare("SELECT FILESEQ FROM PRIME ORDER BY FILESEQ LIMIT 1 "
                                          "OFFSET " +
                                          std::to_string(companies - 1));
        if (!last.step())
            throw std::runtime_error("the state holds fewer companies than asked for");
        const std::string where =
            "SELECT * FROM PRIME WHERE FILESEQ <= '" + last.column(0).toString() + "'";
        const std::string source = where + " ORDER BY NAME1";

        const std::string out = folder + "bench-export.out";
        QuietProgress quiet;
        kora::ExportWriter writer(db, state, folder);
        const auto timedExport = [&](kora::ExportLayout layout) {
            const auto start = Clock::now();
            const auto result = writer.run(source, {layout, kora::ExportSort::Name, false}, out,
                                           "Benchmark", quiet);
            const double seconds = secondsSince(start);
            std::printf("%lld companies, %.1f MB\n", result.exported,
                        static_cast<double>(std::filesystem::file_size(out)) / 1e6);
            return seconds;
        };
        const std::string sorted = kora::ExportWriter::sortedSource(source, kora::ExportSort::Name);

        auto start = Clock::now();
        bareExportReads(db, sorted, true);
        const double readFloor = secondsSince(start);
        report("comma layout", timedExport(kora::ExportLayout::Comma), readFloor, 2.0);
        report("workbook", timedExport(kora::ExportLayout::Workbook), readFloor, 4.0);

        kora::Database scratch = kora::ReportDatabase::openScratch(folder);
        start = Clock::now();
        kora::ExpirationOrder::fill(db, where, scratch, false, quiet);
        const double pass = secondsSince(start);
        start = Clock::now();
        bareExportReads(db, where, false);
        report("expiration scratch", pass, secondsSince(start), 3.0);
        std::filesystem::remove(out);
    } catch (const std::exception& error) {
        std::cerr << "kora_export_bench: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
