#include "base/Folders.h"
#include "base/Prompt.h"
#include "batch/BatchCommands.h"
#include "batch/BatchOptions.h"
#include "upgrade/SelfUpgrade.h"
#include "upgrade/StateNotesBackup.h"

#include <iostream>

namespace kora {

namespace {

// The upgrade window's label and messages as lines on standard error.
class StreamUpgradeProgress : public UpgradeProgress, public Prompt
{
public:
    void startWork() override {}
    void status(const std::string& text) override
    {
        if (text.find_first_not_of(' ') != std::string::npos)
            std::cerr << text << std::endl;
    }
    void hideStatus() override {}
    void bars(int, int) override {}

    void tell(const std::string& text, const std::string&, Icon) override
    {
        std::cerr << text << std::endl;
    }
    bool ask(const std::string&, const std::string&, Icon) override { return false; }
};

} // namespace

int runUpgrade(const std::vector<std::string>& arguments)
{
    const BatchOptions options(arguments, {"--folder", "--from"}, {});
    const std::string folder = Folders::withSeparator(options.folder());
    std::string source = options.required("--from");
    while (source.size() > 1 && source.back() == '/')
        source.pop_back();
    StreamUpgradeProgress progress;
    SelfUpgrade upgrade(folder, progress, progress, stateNotesBackup(folder));
    switch (upgrade.run(source)) {
    case SelfUpgrade::Ending::NoArchive:
    case SelfUpgrade::Ending::NothingInstalled:
        return 1;
    case SelfUpgrade::Ending::Restart:
        std::cout << "restart\n";
        break;
    case SelfUpgrade::Ending::SelectState:
        std::cout << "select state\n";
        break;
    }
    return upgrade.hadFailure() ? 1 : 0;
}

} // namespace kora
