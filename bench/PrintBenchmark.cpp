// Times the print run on an installation's state database: filling the
// scratch report database, then rendering a report as PDF; reports the peak
// memory of the process (VmHWM).
//
//   kora_print_bench --folder DIR --state ST --lookup FILE.KRD
//                    --format detail|summary|laser|dot --pdf PATH

#include "base/Folders.h"
#include "base/StateCodes.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "lookup/LookupSearch.h"
#include "output/PrintRun.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

namespace {

std::string peakMemory()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return line.substr(6);
    return "unknown";
}

} // namespace

int main(int argc, char** argv)
{
    std::map<std::string, std::string> options;
    for (int i = 1; i + 1 < argc; i += 2)
        options[argv[i]] = argv[i + 1];
    static const std::map<std::string, kora::PrintRun::Format> formats = {
        {"detail", kora::PrintRun::Format::Detail},
        {"summary", kora::PrintRun::Format::Summary},
        {"laser", kora::PrintRun::Format::LaserLabels},
        {"dot", kora::PrintRun::Format::DotLabels}};
    if (!options.count("--folder") || !options.count("--lookup") || !options.count("--pdf") ||
        !formats.count(options["--format"])) {
        std::fprintf(stderr, "usage: kora_print_bench --folder DIR --state ST --lookup FILE.KRD "
                             "--format detail|summary|laser|dot --pdf PATH\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    const std::string folder = kora::Folders::withSeparator(options["--folder"]);
    const std::string state = options.count("--state") ? options["--state"] : "PA";
    try {
        kora::Database db(folder + kora::stateDatabaseName(state),
                          kora::Installation(folder).stateConnect(state));
        kora::LookupSearch search(state);
        if (!search.SetUpSQL(options["--lookup"], false).ready)
            throw std::runtime_error("the lookup cannot be read");
        search.sortBy(kora::GridColumn::Name);
        kora::PrintRun run(folder, state);
        QElapsedTimer timer;
        timer.start();
        const long long companies = run.fillLookup(db, search.recordSource());
        std::printf("fill     %8.2f s  (%lld companies)\n", timer.nsecsElapsed() / 1e9, companies);
        kora::ReportRenderer report = run.openLookupReport(formats.at(options["--format"]), "BENCH",
                                                           kora::PrintRun::Sort::Name);
        timer.restart();
        const int pages = kora::PrintRun::writePdf(report, options["--pdf"]);
        std::printf("render   %8.2f s  (%d pages)\n", timer.nsecsElapsed() / 1e9, pages);
        std::printf("peak     %s\n", peakMemory().c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
