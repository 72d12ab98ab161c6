// kora-batch: KORA's command-line tool for administrators and automation.

#include "batch/BatchCommands.h"
#include "batch/UsageError.h"

#include <csignal>
#include <exception>
#include <functional>
#include <iostream>
#include <map>

namespace {

const char* const kUsage =
    "usage: kora-batch COMMAND [options]\n"
    "commands:\n"
    "  init    [--folder DIR] [--force]\n"
    "  demo    [--folder DIR] [--companies N]\n"
    "  update  [--folder DIR] --state ST [--force]\n"
    "  sql     [--folder DIR] --state ST --lookup FILE.KRD\n"
    "  query   [--folder DIR] --state ST --lookup FILE.KRD [--sort file|name|expires]\n"
    "  upgrade [--folder DIR] --from SOURCE\n"
    "  backup|restore|merge [--folder DIR] --state ST [--file PATH]\n"
    "  print   [--folder DIR] --state ST (--lookup FILE.KRD | --company FILE SEQUENCE)\n"
    "          --format detail|summary|laser|dot [--sort name|expire|renewal|zip] --pdf PATH\n"
    "  export  [--folder DIR] --state ST (--lookup FILE.KRD | --company FILE SEQUENCE)\n"
    "          --layout comma|tab|fixed|limited|xlsx [--sort name|expire|renewal|zip] [--lower] "
    "--out "
    "PATH\n"
    "  breakdown [--folder DIR] --state ST --lookup FILE.KRD --by county|sic|modband|month\n"
    "  publish [--folder DIR] --state ST (--server CONNINFO [--agents ROLE] [--admins ROLE]\n"
    "          | --file)\n"
    "  where   [--folder DIR] --state ST\n"
    "  followups [--folder DIR] --state ST [--due DAYS]\n";

} // namespace

int main(int argc, char** argv)
{
    using Command = std::function<int(const std::vector<std::string>&)>;
    const std::map<std::string, Command> commands = {
        {"init", kora::runInit},
        {"demo", kora::runDemo},
        {"update", kora::runUpdate},
        {"query", kora::runQuery},
        {"sql", kora::runSql},
        {"upgrade", kora::runUpgrade},
        {"backup", kora::runBackup},
        {"restore", kora::runRestore},
        {"merge", kora::runMerge},
        {"print", kora::runPrint},
        {"export", kora::runExport},
        {"breakdown", kora::runBreakdown},
        {"publish", kora::runPublish},
        {"where", kora::runWhere},
        {"followups", kora::runFollowUps},
    };
    if (argc < 2) {
        std::cerr << "kora-batch: a command is needed (see kora-batch --help)\n";
        return 2;
    }
    // A write past the file size limit of the process fails with EFBIG and is
    // told like any other failed write, instead of ending the process unheard.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::string name = argv[1];
    if (name == "--help" || name == "help") {
        std::cout << kUsage;
        return 0;
    }
    auto command = commands.find(name);
    if (command == commands.end()) {
        std::cerr << "kora-batch: unknown command '" << name << "' (see kora-batch --help)\n";
        return 2;
    }
    try {
        return command->second(std::vector<std::string>(argv + 2, argv + argc));
    } catch (const kora::UsageError& error) {
        std::cerr << "kora-batch " << name << ": " << error.what() << "\n";
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "kora-batch " << name << ": " << error.what() << "\n";
        return 1;
    }
}
