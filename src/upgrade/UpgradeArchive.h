#pragma once

#include "database/StateLock.h"
#include "upgrade/UpgradeProgress.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kora {

class Prompt;
class ZipArchive;

// Installs one upgrade archive into the program folder: saves the notes and
// fields of each state whose database it holds, unpacks every member to a
// scratch file beside its place and, only when all came out whole, renames
// them over the installed files and leaves the restore markers. An archive
// that cannot be read, holds a member that would land outside the program
// folder, or whose notes cannot be saved changes no installed file.
class UpgradeArchive
{
public:
    // Saves the user notes and fields of KORA<st>.MDB in the program folder
    // into BACKUP<st>.MDB there; throws std::exception when it cannot.
    using NotesBackup = std::function<void(const std::string& state)>;

    UpgradeArchive(std::filesystem::path programFolder, Prompt& prompt, UpgradeProgress& progress,
                   NotesBackup backup);

    // The archive's UpgradeContinue (true when it holds no database), or
    // nothing when it installed nothing (after saying why).
    std::optional<bool> install(const std::filesystem::path& archive);

    // "KORAPA.MDB  1 of  3": each number with the blank of its sign position.
    static std::string memberLine(const std::string& name, int number, int count);
    // The message of a failure to read or unpack, with libzip's error number.
    static std::string errorMessage(int code);

private:
    struct Member
    {
        int index;
        std::string name;
        std::filesystem::path target;
        std::filesystem::path scratch;
    };

    std::optional<std::string> refusal(const ZipArchive& zip, int index,
                                       const std::string& archiveName) const;
    // Takes the lock of a state database the member replaces and plays a
    // journal left beside the installed file into it; why not, when it cannot.
    std::optional<std::string> holdInstalled(const Member& member, std::vector<StateLock>& held,
                                             const std::string& archiveName) const;
    bool saveNotes(const std::vector<Member>& members, std::vector<std::string>& saved,
                   bool& upgradeContinue, const std::string& archiveName);
    void unpack(const ZipArchive& zip, std::vector<Member>& members);
    void unpackMember(const ZipArchive& zip, Member& member, int count);
    void putInPlace(std::vector<Member>& members);
    void writeMarkers(const std::vector<std::string>& saved);
    static void removeScratch(std::vector<Member>& members);

    std::filesystem::path m_folder;
    Prompt& m_prompt;
    UpgradeProgress& m_progress;
    NotesBackup m_backup;
};

} // namespace kora
