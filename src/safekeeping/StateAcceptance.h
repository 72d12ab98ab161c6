#pragma once

#include "base/ProgramValues.h"
#include "base/Prompt.h"
#include "database/Database.h"

#include <functional>
#include <string>

namespace kora {

// Accepting a workspace and a state: the notes an upgrade saved go back, the
// state gets its backup database, a database of an older version is refused,
// one of an older release gets its missing tables, a new workspace gets its
// folder and the choice is kept in KORA.INI.
class StateAcceptance
{
public:
    // Runs work that takes a while (the workspace window shows the hourglass).
    using Busy = std::function<void(const std::function<void()>&)>;

    StateAcceptance(ProgramValues& values, Prompt& prompt, Busy busy);

    // The first half: sets values.state and values.stateConnect, clears
    // values.selectionAccepted, and readies the state's databases. False when
    // the state database is of another version or will not open (told to the user).
    bool acceptState(const std::string& state);
    // The second half, after acceptState (listed: the workspace exists
    // already). False when the user declines to create the workspace or it
    // or the settings cannot be written (told); true sets values.selectionAccepted.
    bool acceptWorkspace(const std::string& workspace, bool listed);

    // The state database of the program folder, with the tables a database
    // of an older release lacks added.
    static Database openState(const std::string& programFolder, const std::string& state);

    // A workspace is one folder inside the program folder, never a path.
    static bool isFolderName(const std::string& name);

private:
    bool createWorkspace(const std::string& workspace);

    ProgramValues& m_values;
    Prompt& m_prompt;
    Busy m_busy;
};

} // namespace kora
