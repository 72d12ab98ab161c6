#include "base/Prompt.h"
#include "batch/BatchCommands.h"
#include "batch/BatchOptions.h"
#include "database/Installation.h"
#include "safekeeping/NotesSafekeeping.h"

#include <iostream>

namespace kora {

namespace {

// Agrees to the backup window's questions and writes its messages, the
// closing counts among them, on standard error.
class ErrorStreamPrompt : public Prompt
{
public:
    void tell(const std::string& text, const std::string&, Icon) override
    {
        std::cerr << text << '\n';
    }
    bool ask(const std::string&, const std::string&, Icon) override { return true; }
};

int runSafekeeping(NotesSafekeeping::Operation operation, const std::vector<std::string>& arguments)
{
    const BatchOptions options(arguments, {"--folder", "--state", "--file"}, {});
    const std::string state = options.state();
    const std::string folder = options.folder();
    ErrorStreamPrompt prompt;
    NotesSafekeeping keeping(folder, state, Installation(folder).stateConnect(state), prompt);
    return keeping.run(operation, options.value("--file")) == NotesSafekeeping::Outcome::Done ? 0
                                                                                              : 1;
}

} // namespace

int runBackup(const std::vector<std::string>& arguments)
{
    return runSafekeeping(NotesSafekeeping::Operation::Backup, arguments);
}

int runRestore(const std::vector<std::string>& arguments)
{
    return runSafekeeping(NotesSafekeeping::Operation::Restore, arguments);
}

int runMerge(const std::vector<std::string>& arguments)
{
    return runSafekeeping(NotesSafekeeping::Operation::Merge, arguments);
}

} // namespace kora
