#pragma once

#include "database/StateLock.h"
#include "upgrade/UpgradeProgress.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kora {

class Prompt;
class ZipArchive;
class ZipError;

// Installs one upgrade archive into the program folder: saves the notes and
// fields of each state whose database it holds, unpacks every member to a
// scratch file beside its place and, only when all came out whole and every
// delivered state database is sound, leaves the restore markers and then
// renames the scratch files over the installed files. An archive that cannot
// be read, holds a member that would land outside the program folder or a
// database journal, does not fit on the disk, has a damaged member or
// database, or whose notes cannot be saved changes no installed file.
// The database of a state on a server is not renamed into place: its rows
// go into the server, and a delivered setup database keeps such states there.
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
    // Runs before each installed file is replaced; a test ends the process
    // there as a crash would.
    void beforeReplacing(std::function<void(const std::filesystem::path& installed)> step)
    {
        m_beforeReplacing = std::move(step);
    }

    // "KORAPA.MDB  1 of  3": each number with the blank of its sign position.
    static std::string memberLine(const std::string& name, int number, int count);
    // The message of an archive that cannot be read, with libzip's error number.
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
    std::optional<std::string> spaceRefusal(const ZipArchive& zip,
                                            const std::string& archiveName) const;
    // Takes the lock of a state database the member replaces and plays a
    // journal left beside the installed file into it; why not, when it cannot.
    std::optional<std::string> holdInstalled(const Member& member, std::vector<StateLock>& held,
                                             const std::string& archiveName) const;
    bool saveNotes(const std::vector<Member>& members, std::vector<std::string>& saved,
                   bool& upgradeContinue, const std::string& archiveName);
    void unpack(const ZipArchive& zip, std::vector<Member>& members);
    void unpackMember(const ZipArchive& zip, Member& member, int count);
    std::optional<std::string> databaseRefusal(const std::vector<Member>& members,
                                               const std::string& archiveName) const;
    std::string connectFor(const std::vector<Member>& members, const std::string& state) const;
    std::optional<std::string> writeMarkers(const std::vector<std::string>& saved,
                                            const std::string& archiveName);
    // Which states of the installation live on a database server.
    void findStatesOnServer();
    // Writes the server's connect strings of those states into a delivered
    // setup database, which would otherwise point them back at their files.
    std::optional<std::string> keepStatesOnServer(const std::vector<Member>& members,
                                                  const std::string& archiveName) const;
    // Copies the rows of each delivered database of a state on a server into
    // the server, in place of renaming the file; why not, when it cannot.
    std::optional<std::string> copyToServer(std::vector<Member>& members,
                                            const std::string& archiveName);
    void putInPlace(std::vector<Member>& members);
    std::nullopt_t refuse(std::vector<Member>& members, const std::string& message);
    static std::string failureMessage(const ZipError& error, const std::string& archiveName);
    static void removeScratch(std::vector<Member>& members);

    std::filesystem::path m_folder;
    Prompt& m_prompt;
    UpgradeProgress& m_progress;
    NotesBackup m_backup;
    std::function<void(const std::filesystem::path&)> m_beforeReplacing;
    // State code and connect string of each state on a server.
    std::map<std::string, std::string> m_onServer;
};

} // namespace kora
