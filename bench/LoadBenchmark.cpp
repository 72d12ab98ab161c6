// kora_load_bench: times the update run of a full state, the real case of a
// delivery that replaces every employer of a state database already filled.
//
//   kora_load_bench [--folder DIR] [--keep] [--companies N]
//
// Generates the update files of a Pennsylvania delivery once (default 300,000
// employers, about 3.5 mods and 4 classes each), loads them into an empty
// database, then loads them again into the now full one and reports the wall
// time of that second run and the peak memory of the process. With --keep the
// folder stays behind as a full PA installation for other benchmarks.

#include "base/Dates.h"
#include "base/StateCodes.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "demo/DemoData.h"
#include "loading/UpdateRun.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

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

long long count(kora::Database& db, const std::string& table)
{
    kora::Statement query = db.prepare("SELECT COUNT(*) FROM " + table);
    query.step();
    return query.column(0).toInteger();
}

int usage()
{
    std::cerr << "usage: kora_load_bench [--folder DIR] [--keep] [--companies N]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string folderOption;
    bool keep = false;
    long long companies = 300'000;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--keep")
            keep = true;
        else if (argument == "--folder" && i + 1 < argc)
            folderOption = argv[++i];
        else if (argument == "--companies" && i + 1 < argc)
            companies = std::atoll(argv[++i]);
        else
            return usage();
    }
    if (companies < 1)
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
        const fs::path data = folder / "bench-data";
        fs::create_directories(data);

        auto start = Clock::now();
        kora::DemoData(kState, companies, kora::Dates::today()).writeUpdateFiles(data);
        std::printf(
            "generate   %8.2f s  (%lld employers, company file %.0f MB, class file %.0f MB)\n",
            secondsSince(start), companies,
            static_cast<double>(fs::file_size(data / "DATAPA.DAT")) / 1e6,
            static_cast<double>(fs::file_size(data / "DATA1PA.DAT")) / 1e6);

        kora::Database db((folder / kora::stateDatabaseName(kState)).string(),
                          installation.stateConnect(kState));
        std::printf("first load %8.2f s  (into an empty database)\n", timedRun(db, data, folder));
        const double seconds = timedRun(db, data, folder);
        const long long rows = count(db, "PRIME") + count(db, "MODS") + count(db, "CLASS");
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("reload     %8.2f s  (into a full database)\n", seconds);
        std::printf("rows       %8lld    (PRIME %lld, MODS %lld, CLASS %lld)\n", rows,
                    count(db, "PRIME"), count(db, "MODS"), count(db, "CLASS"));
        std::printf("rows/s     %8.0f\n", static_cast<double>(rows) / seconds);
        std::printf("peak RSS   %8.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
        db.close();

        fs::remove_all(data);
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
