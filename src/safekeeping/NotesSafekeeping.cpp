#include "safekeeping/NotesSafekeeping.h"

#include "base/AtomicFile.h"
#include "base/Folders.h"
#include "base/StateCodes.h"
#include "safekeeping/UserDataBackup.h"
#include "safekeeping/UserDataRestore.h"

#include <filesystem>

namespace kora {

namespace fs = std::filesystem;

namespace {

bool samePath(const std::string& first, const std::string& second)
{
    std::error_code ignored;
    return fs::weakly_canonical(first, ignored) == fs::weakly_canonical(second, ignored);
}

UserDataRestore::Mode modeOf(NotesSafekeeping::Operation operation)
{
    return operation == NotesSafekeeping::Operation::Merge ? UserDataRestore::Mode::Merge
                                                           : UserDataRestore::Mode::Restore;
}

} // namespace

NotesSafekeeping::NotesSafekeeping(std::string programFolder, std::string state,
                                   std::string stateConnect, Prompt& prompt)
    : m_programFolder(Folders::withSeparator(programFolder)), m_state(std::move(state)),
      m_stateConnect(std::move(stateConnect)), m_prompt(prompt)
{
}

std::string NotesSafekeeping::checkCaption(Operation operation)
{
    switch (operation) {
    case Operation::Restore:
        return "Restore Backup File From Another Drive or Directory";
    case Operation::Merge:
        return "Merge Backup File From Another Drive or Directory";
    case Operation::Backup:
        break;
    }
    return "Copy Backup File To Another Drive or Directory";
}

std::string NotesSafekeeping::folderCaption(Operation operation)
{
    switch (operation) {
    case Operation::Restore:
        return "Restore From:";
    case Operation::Merge:
        return "Merge From:";
    case Operation::Backup:
        break;
    }
    return "Copy To:";
}

std::string NotesSafekeeping::localPath() const
{
    return m_programFolder + backupDatabaseName(m_state);
}

std::string NotesSafekeeping::pathIn(const std::string& folder) const
{
    return Folders::withSeparator(folder) + backupDatabaseName(m_state);
}

std::string NotesSafekeeping::statePath() const
{
    return m_programFolder + stateDatabaseName(m_state);
}

NotesSafekeeping::Outcome NotesSafekeeping::run(Operation operation, const std::string& chosenPath)
{
    const std::string path = chosenPath.empty() ? localPath() : chosenPath;
    return operation == Operation::Backup ? backup(path) : restore(operation, path);
}

NotesSafekeeping::Outcome NotesSafekeeping::backup(const std::string& chosenPath)
{
    if (!m_prompt.ask("Backup User Data and Notes to " + chosenPath + "?",
                      "Backup User Notes & Data"))
        return Outcome::Declined;
    const std::string local = localPath();
    try {
        const UserDataCounts counts = UserDataBackup::run(m_programFolder, m_state, m_stateConnect);
        m_prompt.tell(UserDataBackup::message(counts, local), UserDataBackup::kTitle,
                      Prompt::Icon::Information);
    } catch (const std::exception& failure) {
        m_prompt.tell("The user notes and fields could not be saved to " + local + ": " +
                          failure.what() + "\r\nThe previous backup is kept as it was.",
                      "Backup User Notes & Data", Prompt::Icon::Critical);
        return Outcome::Failed;
    }
    if (samePath(chosenPath, local))
        return Outcome::Done;
    if (!copyBackup(chosenPath)) {
        m_prompt.tell("Error copying file!  Make sure path is correct!");
        return Outcome::Failed;
    }
    m_prompt.tell("Backup copied to " + chosenPath);
    return Outcome::Done;
}

bool NotesSafekeeping::copyBackup(const std::string& chosenPath)
{
    // Through a scratch file, so that a failed copy leaves the backup that
    // was there before.
    try {
        AtomicFile::replace(chosenPath, [this](const std::string& scratch) {
            fs::copy_file(localPath(), scratch, fs::copy_options::overwrite_existing);
        });
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

NotesSafekeeping::Outcome NotesSafekeeping::restore(Operation operation,
                                                    const std::string& chosenPath)
{
    std::error_code missing;
    if (!fs::is_regular_file(chosenPath, missing)) {
        m_prompt.tell(chosenPath +
                      " file was not found.  Please select the correct path and try again.");
        return Outcome::Failed;
    }
    const bool merge = operation == Operation::Merge;
    const std::string verb = merge ? "Merge" : "Restore";
    if (!m_prompt.ask(verb + " User Data and Notes from " + chosenPath + "?",
                      verb + " User Notes & Data"))
        return Outcome::Declined;
    const UserDataRestore::Mode mode = modeOf(operation);
    try {
        const UserDataCounts counts =
            UserDataRestore::run(mode, statePath(), m_stateConnect, chosenPath);
        m_prompt.tell(UserDataRestore::message(mode, counts, chosenPath),
                      UserDataRestore::title(mode), Prompt::Icon::Information);
    } catch (const std::exception& failure) {
        m_prompt.tell("The user notes and fields could not be " +
                          std::string(merge ? "merged" : "restored") + " from " + chosenPath +
                          ": " + failure.what() + "\r\nNothing was changed.",
                      verb + " User Notes & Data", Prompt::Icon::Critical);
        return Outcome::Failed;
    }
    m_prompt.tell(merge ? "User Notes and Fields Merged!" : "User Notes and Fields Restored!",
                  UserDataRestore::title(mode));
    return Outcome::Done;
}

} // namespace kora
