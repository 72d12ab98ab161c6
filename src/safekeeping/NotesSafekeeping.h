#pragma once

#include "base/Prompt.h"

#include <string>

namespace kora {

// What the backup window does on OK, without the window: back up, restore or
// merge one state's user notes and fields, with the backup file in the
// program folder or in another folder, asking and telling through a Prompt.
class NotesSafekeeping
{
public:
    enum class Operation
    {
        Backup,
        Restore,
        Merge
    };
    enum class Outcome
    {
        Done,
        Declined,
        Failed
    };

    NotesSafekeeping(std::string programFolder, std::string state, std::string stateConnect,
                     Prompt& prompt);

    // The captions of the check box and of the label over the folder chooser.
    static std::string checkCaption(Operation operation);
    static std::string folderCaption(Operation operation);

    // BACKUP<st>.MDB in the program folder.
    std::string localPath() const;
    // BACKUP<st>.MDB in another folder.
    std::string pathIn(const std::string& folder) const;

    // Runs the operation on the backup file at chosenPath; an empty chosenPath
    // is the local one. A backup is always made locally and then copied there.
    Outcome run(Operation operation, const std::string& chosenPath);

private:
    Outcome backup(const std::string& chosenPath);
    Outcome restore(Operation operation, const std::string& chosenPath);
    bool copyBackup(const std::string& chosenPath);
    std::string statePath() const;

    std::string m_programFolder;
    std::string m_state;
    std::string m_stateConnect;
    Prompt& m_prompt;
};

} // namespace kora
