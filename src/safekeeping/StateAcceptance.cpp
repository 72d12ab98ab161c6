#include "safekeeping/StateAcceptance.h"

#include "base/Folders.h"
#include "base/Settings.h"
#include "base/StateCodes.h"
#include "database/DbError.h"
#include "database/Installation.h"
#include "database/Schema.h"
#include "loading/UpdateRun.h"
#include "safekeeping/PendingRestore.h"

#include <filesystem>

namespace kora {

namespace {

const char* const kCreateFailed = "Could not create workspace or save settings!";

Database openWithTables(const std::string& path, const std::string& connect)
{
    Database db(path, connect);
    UpdateRun::addMissingTables(db);
    return db;
}

} // namespace

StateAcceptance::StateAcceptance(ProgramValues& values, Prompt& prompt, Busy busy)
    : m_values(values), m_prompt(prompt), m_busy(std::move(busy))
{
}

Database StateAcceptance::openState(const std::string& programFolder, const std::string& state)
{
    const std::string folder = Folders::withSeparator(programFolder);
    return openWithTables(folder + stateDatabaseName(state),
                          Installation(folder).stateConnect(state));
}

bool StateAcceptance::acceptState(const std::string& state)
{
    m_values.state = state;
    try {
        m_values.stateConnect = Installation(m_values.programFolder).stateConnect(state);
    } catch (const DbError&) {
        // Without a setup row the connect string stays as it was; the state
        // database check below decides.
    }
    m_values.selectionAccepted = false;

    // Notes saved by an upgrade go back into the new database; the restore
    // needs the state's connect string, so it follows its reading. A failed
    // restore keeps its marker and is tried again at the next acceptance.
    m_busy([&] {
        PendingRestore::run(m_values.programFolder, state, m_values.stateConnect, m_prompt);
    });

    // A state without a backup database gets an empty one, which the backup
    // and restore of user notes need.
    const std::string backupPath = m_values.programFolder + backupDatabaseName(state);
    std::error_code missing;
    if (!std::filesystem::exists(backupPath, missing)) {
        try {
            Schema::createBackupDatabase(backupPath);
        } catch (const DbError&) {
            // The program works without it; backing up will report the file.
        }
    }

    try {
        if (!Installation::hasVersionRow(m_values.stateDatabasePath(), m_values.stateConnect)) {
            m_prompt.tell("Backup Data Set Not For Version 1.6, Run UPGRADE.EXE from Install CD");
            return false;
        }
    } catch (const DbError& error) {
        // A server that cannot be reached, refuses the login or lacks the state.
        m_prompt.tell("The state database " + m_values.stateDatabasePath() +
                      " could not be opened: " + error.what());
        return false;
    }

    // A database of an older release gets the tables of the lookups on load
    // changes and mod trends; working the trends out takes seconds on a state.
    m_busy([&] {
        try {
            openWithTables(m_values.stateDatabasePath(), m_values.stateConnect);
        } catch (const DbError&) {
            // Opening the state database reports it by name.
        }
    });
    return true;
}

bool StateAcceptance::acceptWorkspace(const std::string& workspace, bool listed)
{
    if (!listed && !createWorkspace(workspace))
        return false;

    // Without a temporary folder there is nowhere to keep the choice, and
    // nothing to stop the user working.
    const std::string temporaryFolder = Folders::temporaryFolder();
    if (!temporaryFolder.empty() &&
        !Settings::write(temporaryFolder, {workspace, m_values.state})) {
        m_prompt.tell(kCreateFailed);
        return false;
    }
    m_values.selectionAccepted = true;
    return true;
}

bool StateAcceptance::isFolderName(const std::string& name)
{
    return name.find_first_of("/\\") == std::string::npos && name != "." && name != "..";
}

bool StateAcceptance::createWorkspace(const std::string& workspace)
{
    if (!m_prompt.ask("Create new workspace called " + workspace + "?", "Select Workspace",
                      Prompt::Icon::Warning))
        return false;
    std::error_code failed;
    if (!isFolderName(workspace) ||
        !std::filesystem::create_directory(m_values.programFolder + workspace, failed)) {
        m_prompt.tell(kCreateFailed);
        return false;
    }
    return true;
}

} // namespace kora
