// kora_clients_bench: many agents on one state on a database server while an
// update reloads it.
//
//   kora_clients_bench --folder DIR [--state PA] [--clients 5,10,20] [--seconds S]
//                      [--companies N] [--pause MS]
//
// DIR is an installation whose state is published to a server. For each
// number of clients the benchmark starts that many client processes, each with
// connections of its own, and one process that reloads the state from update
// files of N employers (300,000 by default, generated once). Each client runs,
// for S seconds (60 by default) or until the reload ends if that is later, a
// mix of what an agent does: a lookup to its first rows in the result list,
// a scroll of that list, a company's record opened and its note written under
// the lock, and a small export, with a pause between two of them as an agent
// reads what came (MS milliseconds on average, 1500 by default; 0 runs them
// back to back). It then reports the latency of each kind of
// work (p50, p95, max) over all clients, each client's p95 of first rows, and
// the errors.

#include "base/Dates.h"
#include "base/Folders.h"
#include "base/Prompt.h"
#include "database/ConnectString.h"
#include "database/Installation.h"
#include "demo/DemoData.h"
#include "loading/UpdateRun.h"
#include "lookup/LookupSearch.h"
#include "output/ExportWriter.h"
#include "results/CompanyNotes.h"
#include "results/CompanyRecord.h"
#include "results/OrderedCompanies.h"
#include "results/ResultListData.h"
#include "safekeeping/StateAcceptance.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace kora;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class QuietPrompt : public Prompt
{
public:
    void tell(const std::string&, const std::string&, Icon) override {}
    bool ask(const std::string&, const std::string&, Icon) override { return false; }
};

class QuietLoad : public LoadProgress
{
public:
    void status(const std::string&) override {}
};

class QuietExport : public ExportProgress
{
public:
    void starting(long long) override {}
    void counted(long long) override {}
};

// One criterion of a random lookup, as a line of a lookup file.
std::string randomCriterion(std::mt19937& random)
{
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    char line[160];
    switch (pick(0, 4)) {
    case 0: {
        const int low = pick(5, 16) * 5 + 10;
        std::snprintf(line, sizeof line, "\"Experience Mod.\",\"0.%d\",\"1.%d0\",\"MOD\"", low,
                      pick(10, 69));
        break;
    }
    case 1: {
        const int low = pick(15, 19);
        std::snprintf(line, sizeof line, "\"Zip Code\",\"%d000\",\"%d999\",\"ZIP\"", low,
                      low + pick(0, 1));
        break;
    }
    case 2:
        std::snprintf(line, sizeof line, "\"Expiration Date\",\"%02d01\",\"%02d28\",\"EXPIRE\"",
                      pick(1, 12), pick(1, 12));
        break;
    case 3: {
        const int low = pick(10, 89);
        std::snprintf(line, sizeof line, "\"SIC Code\",\"%d00\",\"%d99\",\"SIC\"", low,
                      low + pick(0, 9));
        break;
    }
    default: {
        const int low = pick(10, 99);
        std::snprintf(line, sizeof line, "\"Class Code\",\"%d00\",\"%d99\",\"CLASS\"", low,
                      low + pick(0, 4));
        break;
    }
    }
    return line;
}

// Writes a lookup of one or two random criteria and gives its path.
std::string writeRandomLookup(const fs::path& folder, std::mt19937& random, int number)
{
    const fs::path path = folder / ("R" + std::to_string(number) + ".KRD");
    std::ofstream file(path);
    const int criteria = std::uniform_int_distribution<int>(1, 2)(random);
    for (int n = 0; n < criteria; ++n)
        file << "\"Random " << number << "\"," << randomCriterion(random) << ",#FALSE#\r\n";
    return path.string();
}

// The rows the list reads before it shows a grid.
constexpr size_t kListFirstRows = 200;

struct Sample
{
    std::string work;
    double milliseconds;
    bool failed;
};

// One agent's session: connections of its own, a mix of work until the time
// is up or the reload has ended, its samples written to a file.
void runClient(const std::string& folder, const std::string& state, int number, double seconds,
               double pauseMilliseconds, const fs::path& reloadDone, const fs::path& scratch,
               const fs::path& samplesPath)
{
    std::mt19937 random(static_cast<unsigned>(1207 + number));
    std::ofstream samples(samplesPath);
    Database db = StateAcceptance::openState(folder, state);
    QuietPrompt prompt;
    CompanyNotes notes(db, prompt);
    std::optional<OrderedCompanies> list;
    // A zip range of about one company in a hundred, under the tenth an export allows.
    const fs::path exportLookup = scratch / ("export" + std::to_string(number) + ".KRD");
    std::ofstream(exportLookup) << "\"Export\",\"Zip Code\",\"" << 15000 + number * 20 << "\",\""
                                << 15000 + number * 20 + 19 << "\",\"ZIP\",#FALSE#\r\n";
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    int lookups = 0;
    std::uniform_real_distribution<double> pause(0.5 * pauseMilliseconds, 1.5 * pauseMilliseconds);
    while (Clock::now() < end || !fs::exists(reloadDone)) {
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(pause(random)));
        const int choice = std::uniform_int_distribution<int>(0, 9)(random);
        std::string work;
        const auto start = Clock::now();
        bool failed = false;
        try {
            if (choice < 4 || !list) {
                work = "lookup, first rows";
                LookupSearch search(state);
                const std::string path =
                    writeRandomLookup(scratch, random, number * 100000 + ++lookups);
                if (search.SetUpSQL(path, false).ready && search.sortBy(GridColumn::Name)) {
                    // As the list's lookup tab: its first rows at once, the
                    // rest from a reader of its own, which the tab keeps from
                    // one lookup to the next.
                    if (!list) {
                        list.emplace(db);
                        list->readRestInBackground([&db] { return db.reader(); }, kListFirstRows,
                                                   [] {});
                    }
                    const auto gridRows = ResultListData::lookupGridRows(search.source(), "NAME1");
                    list->load(gridRows.all, gridRows.first);
                    for (long long at = 0; at < std::min(50LL, list->count()); ++at)
                        list->row(at);
                }
                fs::remove(path);
            } else if (choice < 7) {
                work = "scroll, a page";
                // The rest of the rows, once the reader has them.
                if (list->fetchRest(false))
                    list->takeRest();
                list->forgetAll();
                const long long at = std::uniform_int_distribution<long long>(
                    0, std::max(0LL, list->count() - 50))(random);
                for (long long row = at; row < std::min(at + 50, list->count()); ++row)
                    list->row(row);
            } else if (choice < 9) {
                work = "record and note";
                const long long at = std::uniform_int_distribution<long long>(
                    0, std::max(0LL, list->count() - 1))(random);
                if (const CompanyRow* row = list->count() ? list->row(at) : nullptr) {
                    const std::string file = row->text("FILE");
                    const std::string sequence = row->text("SEQUENCE");
                    CompanyRecord record(db, file, sequence);
                    record.read();
                    record.classes();
                    const std::string note = notes.lockedNote(file, sequence);
                    if (note == CompanyNotes::kLocked)
                        work = "record, note locked";
                    else
                        notes.storeNote("Called " + std::to_string(number));
                }
            } else {
                work = "export";
                LookupSearch search(state);
                if (search.SetUpSQL(exportLookup.string(), false).ready &&
                    search.sortBy(GridColumn::Name)) {
                    QuietExport progress;
                    ExportWriter(db, state, folder)
                        .run(search.recordSource(), ExportChoice{},
                             (scratch / ("export" + std::to_string(number) + ".TXT")).string(),
                             "Export", progress);
                }
            }
        } catch (const std::exception& error) {
            failed = true;
            samples << "error\t" << work << "\t" << error.what() << "\n";
        }
        samples << "sample\t" << work << "\t" << millisecondsSince(start) << "\t" << failed << "\n";
    }
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void report(int clients, double pauseMilliseconds, double reloadSeconds,
            const std::vector<fs::path>& samplePaths)
{
    std::map<std::string, std::vector<double>> byWork;
    std::map<std::string, int> errors;
    std::vector<double> clientP95;
    std::vector<std::string> errorTexts;
    for (const fs::path& path : samplePaths) {
        std::ifstream file(path);
        std::string line;
        std::vector<double> firstRows;
        while (std::getline(file, line)) {
            std::istringstream fields(line);
            std::string kind;
            std::string work;
            std::getline(fields, kind, '\t');
            std::getline(fields, work, '\t');
            if (kind == "error") {
                std::string text;
                std::getline(fields, text);
                errorTexts.push_back(work + ": " + text);
                continue;
            }
            double milliseconds = 0;
            int failed = 0;
            fields >> milliseconds >> failed;
            byWork[work].push_back(milliseconds);
            errors[work] += failed;
            if (work == "lookup, first rows")
                firstRows.push_back(milliseconds);
        }
        clientP95.push_back(percentile(firstRows, 0.95));
    }
    std::printf("\n%d clients pausing %.0f ms on average, with a reload of %.1f s running\n",
                clients, pauseMilliseconds, reloadSeconds);
    std::printf("  %-22s %7s %9s %9s %9s %7s\n", "work", "count", "p50 ms", "p95 ms", "max ms",
                "errors");
    for (const auto& [work, values] : byWork)
        std::printf("  %-22s %7zu %9.1f %9.1f %9.1f %7d\n", work.c_str(), values.size(),
                    percentile(values, 0.5), percentile(values, 0.95), percentile(values, 1.0),
                    errors[work]);
    std::sort(clientP95.begin(), clientP95.end());
    if (!clientP95.empty())
        std::printf("  p95 of first rows per client: best %.1f ms, median %.1f ms, worst %.1f ms\n",
                    clientP95.front(), clientP95[clientP95.size() / 2], clientP95.back());
    for (size_t n = 0; n < std::min<size_t>(errorTexts.size(), 5); ++n)
        std::printf("  error: %s\n", errorTexts[n].c_str());
    // Each round's table as soon as it is known, also into a file.
    std::fflush(stdout);
}

int usage()
{
    std::cerr << "usage: kora_clients_bench --folder DIR [--state ST] [--clients 5,10,20] "
                 "[--seconds S] [--companies N] [--pause MS]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder;
    std::string state = "PA";
    std::vector<int> clientCounts = {5, 10, 20};
    double seconds = 60;
    double pauseMilliseconds = 1500;
    long long companies = 300'000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--folder")
            folder = Folders::withSeparator(value);
        else if (option == "--state")
            state = value;
        else if (option == "--seconds")
            seconds = std::atof(value.c_str());
        else if (option == "--pause")
            pauseMilliseconds = std::atof(value.c_str());
        else if (option == "--companies")
            companies = std::atoll(value.c_str());
        else if (option == "--clients") {
            clientCounts.clear();
            std::istringstream list(value);
            for (std::string count; std::getline(list, count, ',');)
                clientCounts.push_back(std::atoi(count.c_str()));
        } else
            return usage();
    }
    if (folder.empty() || argc % 2 == 0)
        return usage();
    try {
        if (!isServerConnect(Installation(folder).stateConnect(state)))
            throw std::runtime_error(state + " of " + folder + " is not on a server: publish it");
        std::string pattern = (fs::temp_directory_path() / "kora_clients_bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a scratch folder");
        const fs::path scratch = pattern;
        const fs::path delivery = scratch / "delivery";
        fs::create_directories(delivery);
        DemoData(state, companies, Dates::today()).writeUpdateFiles(delivery);
        // Only the reference files and the company and class files of the delivery.
        for (const auto& entry : fs::directory_iterator(delivery))
            if (entry.path().extension() != ".DAT")
                fs::remove_all(entry.path());

        for (const int clients : clientCounts) {
            const fs::path round = scratch / std::to_string(clients);
            const fs::path updateFolder = round / "update";
            fs::create_directories(updateFolder);
            for (const auto& entry : fs::directory_iterator(delivery))
                fs::copy_file(entry.path(), updateFolder / entry.path().filename());
            const fs::path reloadDone = round / "reload.done";
            const fs::path reloadTime = round / "reload.seconds";

            std::vector<pid_t> children;
            std::vector<fs::path> samplePaths;
            const pid_t reload = fork();
            if (reload == 0) {
                int status = 0;
                try {
                    const auto start = Clock::now();
                    Database db = StateAcceptance::openState(folder, state);
                    QuietLoad progress;
                    UpdateRun::run(db, updateFolder, state, progress);
                    std::ofstream(reloadTime) << millisecondsSince(start) / 1000.0;
                } catch (const std::exception& error) {
                    std::cerr << "reload: " << error.what() << "\n";
                    status = 1;
                }
                std::ofstream(reloadDone) << "done";
                _exit(status);
            }
            children.push_back(reload);
            for (int number = 0; number < clients; ++number) {
                samplePaths.push_back(round / ("client" + std::to_string(number) + ".txt"));
                const pid_t child = fork();
                if (child == 0) {
                    int status = 0;
                    try {
                        runClient(folder, state, number, seconds, pauseMilliseconds, reloadDone,
                                  round, samplePaths.back());
                    } catch (const std::exception& error) {
                        std::cerr << "client " << number << ": " << error.what() << "\n";
                        status = 1;
                    }
                    _exit(status);
                }
                children.push_back(child);
            }
            int failedProcesses = 0;
            for (const pid_t child : children) {
                int status = 0;
                waitpid(child, &status, 0);
                failedProcesses += !WIFEXITED(status) || WEXITSTATUS(status) != 0;
            }
            double reloadSeconds = 0;
            std::ifstream(reloadTime) >> reloadSeconds;
            report(clients, pauseMilliseconds, reloadSeconds, samplePaths);
            if (failedProcesses)
                std::printf("  %d processes failed (see above)\n", failedProcesses);
        }
        fs::remove_all(scratch);
    } catch (const std::exception& error) {
        std::cerr << "kora_clients_bench: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
