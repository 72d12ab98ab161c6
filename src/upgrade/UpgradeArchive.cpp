#include "upgrade/UpgradeArchive.h"

#include "base/Folders.h"
#include "base/Prompt.h"
#include "base/StateCodes.h"
#include "database/ConnectString.h"
#include "database/Database.h"
#include "database/DbError.h"
#include "database/Installation.h"
#include "database/StateLock.h"
#include "database/StatePublication.h"
#include "upgrade/DeliveredDatabase.h"
#include "upgrade/MemberName.h"
#include "upgrade/UnpackScratch.h"
#include "upgrade/ZipArchive.h"
#include "upgrade/ZipError.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kora {

namespace {

// The order in which the restore markers are written.
constexpr std::array<std::string_view, 6> kMarkerOrder = {"PA", "NJ", "DE", "PM", "DM", "NY"};

// The number as the platform's number-to-text writes it: a blank where the
// sign of a negative number would stand.
std::string signed_(int number)
{
    return (number < 0 ? "" : " ") + std::to_string(number);
}

// True when path lies inside folder (both without symbolic links).
bool isInside(const fs::path& path, const fs::path& folder)
{
    auto [folderEnd, pathEnd] =
        std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return folderEnd == folder.end() ||
           (folderEnd->empty() && std::next(folderEnd) == folder.end());
}

bool isThere(const fs::path& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

std::string nothingOf(const std::string& archiveName)
{
    return " Nothing of " + archiveName + " was installed.";
}

// The marker beside the program that a restore of the state's notes waits.
std::string restoreMarker(std::string_view state)
{
    return "REST" + std::string(state) + ".DAT";
}

// The state whose database a member is, or empty for any other member.
std::string stateOfDatabase(const std::string& memberName)
{
    for (auto state : kStateCodes)
        if (memberName == stateDatabaseName(state))
            return std::string(state);
    return {};
}

} // namespace

UpgradeArchive::UpgradeArchive(fs::path programFolder, Prompt& prompt, UpgradeProgress& progress,
                               NotesBackup backup)
    : m_folder(std::move(programFolder)), m_prompt(prompt), m_progress(progress),
      m_backup(std::move(backup))
{
}

std::string UpgradeArchive::memberLine(const std::string& name, int number, int count)
{
    return name + " " + signed_(number) + " of " + signed_(count);
}

std::string UpgradeArchive::errorMessage(int code)
{
    return "An error has occurred during your update.  Please Make Sure That You Selected The "
           "SOURCE Drive (The Drive with the Update).  Please attempt the upgrade again.  If the "
           "error continues, write down the number in parentheses following this message and "
           "give it to Technical Support. (" +
           std::to_string(code) + ")";
}

std::optional<std::string> UpgradeArchive::refusal(const ZipArchive& zip, int index,
                                                   const std::string& archiveName) const
{
    const std::string name = zip.memberName(index);
    const std::string nothing = nothingOf(archiveName);
    if (MemberName::isJournal(name))
        return "The update " + archiveName + " holds the member " + name +
               ", the journal of a database, which would be played into that database when it "
               "is next opened." +
               nothing;
    const auto relative = MemberName::relativePath(name);
    const std::string outside = "The update " + archiveName + " holds the member " + name +
                                ", which would be written outside the KORA program folder." +
                                nothing;
    if (!relative || zip.isSymbolicLink(index))
        return outside;
    // A folder of the program folder may itself be a link to elsewhere.
    std::error_code error;
    const fs::path folder = fs::weakly_canonical(m_folder, error);
    const fs::path place = fs::weakly_canonical(m_folder / *relative, error);
    if (error || !isInside(place, folder))
        return outside;
    return std::nullopt;
}

std::optional<std::string> UpgradeArchive::holdInstalled(const Member& member,
                                                         std::vector<StateLock>& held,
                                                         const std::string& archiveName) const
{
    const std::string name = member.target.filename().string();
    const std::string nothing = " Nothing of " + archiveName + " was installed.";
    const std::string open = name +
                             " is open in KORA, here or by another user of the program folder: "
                             "everyone must leave KORA before the update is loaded." +
                             nothing;
    // Whoever has a state open holds its lock shared, from before the file is
    // opened until after it is closed.
    auto lock = StateLock::forReplacing(member.target.string());
    if (!lock)
        return open;
    held.push_back(std::move(*lock));
    // A new file under the old one's name would be read with the journal a
    // connection left beside it: what was committed there goes into the old
    // file first, and the last connection's close removes the journal.
    const std::string wal = member.target.string() + "-wal";
    const std::string shm = member.target.string() + "-shm";
    if (!isThere(wal) && !isThere(shm))
        return std::nullopt;
    std::error_code ignored;
    if (!isThere(member.target)) {
        fs::remove(wal, ignored);
        fs::remove(shm, ignored);
        return std::nullopt;
    }
    try {
        Database::checkpoint(member.target.string());
    } catch (const DbError& error) {
        return "The journal beside " + name + " could not be written into it (" + error.what() +
               ")." + nothing;
    }
    if (isThere(wal) || isThere(shm))
        return open;
    return std::nullopt;
}

std::optional<std::string> UpgradeArchive::spaceRefusal(const ZipArchive& zip,
                                                        const std::string& archiveName) const
{
    std::uint64_t needed = 0;
    for (int index = 0; index < zip.memberCount(); ++index)
        needed += zip.memberSize(index);
    std::error_code error;
    const std::uint64_t available = fs::space(m_folder, error).available;
    if (error || needed <= available)
        return std::nullopt;
    return "The update " + archiveName + " needs " + std::to_string(needed) +
           " bytes, but the disk of the KORA program folder has " + std::to_string(available) +
           " bytes free." + nothingOf(archiveName);
}

bool UpgradeArchive::saveNotes(const std::vector<Member>& members, std::vector<std::string>& saved,
                               bool& upgradeContinue, const std::string& archiveName)
{
    for (const Member& member : members) {
        if (MemberName::isDatabase(member.name))
            upgradeContinue = false;
        if (member.name == kSetupDatabaseName) {
            m_progress.status("Loading New DataBase Parameters");
            continue;
        }
        const std::string code = stateOfDatabase(member.name);
        if (code.empty())
            continue;
        m_progress.status("Saving " + code + " User Notes & Fields");
        // A state not installed yet has no notes to keep.
        if (!isThere(m_folder / member.name) && !m_onServer.count(code))
            continue;
        try {
            m_backup(code);
        } catch (const std::exception& failure) {
            m_prompt.tell("The " + code + " user notes and fields could not be saved (" +
                              failure.what() + ")." + nothingOf(archiveName) + " " + member.name +
                              " stays as it was.",
                          "KORA", Prompt::Icon::Critical);
            return false;
        }
        saved.push_back(code);
    }
    return true;
}

void UpgradeArchive::unpackMember(const ZipArchive& zip, Member& member, int count)
{
    const int percentBefore = member.index * 100 / std::max(count, 1);
    if (MemberName::isFolder(member.name)) {
        std::error_code error;
        fs::create_directories(member.target, error);
        if (error)
            throw ZipError(ZipError::Cause::Disk, ZIP_ER_WRITE, member.name, error.message());
        return;
    }
    std::error_code error;
    fs::create_directories(member.target.parent_path(), error);
    if (error)
        throw ZipError(ZipError::Cause::Disk, ZIP_ER_WRITE, member.name, error.message());
    std::string scratch = UnpackScratch::pattern(member.target);
    const int descriptor = mkstemp(scratch.data());
    if (descriptor < 0)
        throw ZipError(ZipError::Cause::Disk, ZIP_ER_OPEN, member.name, std::strerror(errno));
    member.scratch = scratch;
    const auto diskError = [&member] {
        return ZipError(ZipError::Cause::Disk, ZIP_ER_WRITE, member.name, std::strerror(errno));
    };
    const std::uint64_t size = zip.memberSize(member.index);
    try {
        if (fchmod(descriptor, zip.permissions(member.index)) != 0)
            throw diskError();
        zip.extract(member.index, descriptor, [&](std::uint64_t written) {
            const int percent = size == 0 ? 100 : static_cast<int>(written * 100 / size);
            m_progress.bars(percent, percentBefore + percent / std::max(count, 1));
        });
        if (fsync(descriptor) != 0)
            throw diskError();
    } catch (...) {
        ::close(descriptor);
        throw;
    }
    if (::close(descriptor) != 0)
        throw diskError();
}

void UpgradeArchive::unpack(const ZipArchive& zip, std::vector<Member>& members)
{
    const int count = static_cast<int>(members.size());
    for (Member& member : members) {
        m_progress.status(memberLine(member.name, member.index + 1, count));
        unpackMember(zip, member, count);
    }
    m_progress.bars(100, 100);
}

std::string UpgradeArchive::connectFor(const std::vector<Member>& members,
                                       const std::string& state) const
{
    // A state on a server takes the delivered file's rows, not the file.
    if (m_onServer.count(state))
        return stateConnectOf(state);
    // The installation reads the setup database the archive delivers, if any.
    fs::path setup = m_folder / kSetupDatabaseName;
    for (const Member& member : members)
        if (member.name == kSetupDatabaseName)
            setup = member.scratch;
    try {
        return Installation::stateConnectIn(setup.string(), state);
    } catch (const DbError&) {
        return stateConnectOf(state);
    }
}

std::optional<std::string> UpgradeArchive::databaseRefusal(const std::vector<Member>& members,
                                                           const std::string& archiveName) const
{
    for (const Member& member : members) {
        const std::string code = stateOfDatabase(member.name);
        if (code.empty())
            continue;
        if (const auto fault =
                DeliveredDatabase::fault(member.scratch.string(), code, connectFor(members, code)))
            return "The update " + archiveName + " holds the member " + member.name +
                   ", which cannot become the " + code + " database: " + *fault + "." +
                   nothingOf(archiveName) + " " + member.name + " stays as it was.";
    }
    return std::nullopt;
}

void UpgradeArchive::findStatesOnServer()
{
    m_onServer.clear();
    const Installation installation(Folders::withSeparator(m_folder.string()));
    for (auto state : kStateCodes) {
        const std::string code(state);
        try {
            const std::string connect = installation.stateConnect(code);
            if (isServerConnect(connect))
                m_onServer[code] = connect;
        } catch (const DbError&) {
            // No setup database yet: every state is a file.
        }
    }
}

std::optional<std::string> UpgradeArchive::keepStatesOnServer(const std::vector<Member>& members,
                                                              const std::string& archiveName) const
{
    if (m_onServer.empty())
        return std::nullopt;
    for (const Member& member : members) {
        if (member.name != kSetupDatabaseName)
            continue;
        try {
            for (const auto& [state, connect] : m_onServer)
                Installation::setStateConnectIn(member.scratch.string(), state, connect);
        } catch (const DbError& error) {
            return "The update " + archiveName + " holds the member " + member.name +
                   ", which cannot keep the states that are on a database server (" + error.what() +
                   ")." + nothingOf(archiveName);
        }
    }
    return std::nullopt;
}

std::optional<std::string> UpgradeArchive::copyToServer(std::vector<Member>& members,
                                                        const std::string& archiveName)
{
    for (auto member = members.begin(); member != members.end(); ++member) {
        const std::string state = stateOfDatabase(member->name);
        if (state.empty() || !m_onServer.count(state))
            continue;
        m_progress.status("Copying " + member->name + " to the server");
        try {
            StatePublication(m_folder.string(), state)
                .replaceServerRows(member->scratch.string(), stateConnectOf(state));
        } catch (const std::exception& failure) {
            // The states not copied keep their rows: no restore may follow there.
            std::error_code ignored;
            for (auto rest = member; rest != members.end(); ++rest) {
                const std::string restState = stateOfDatabase(rest->name);
                if (!restState.empty() && m_onServer.count(restState))
                    fs::remove(m_folder / restoreMarker(restState), ignored);
            }
            return "The rows of " + member->name + " could not be copied to the " + state +
                   " database on the server (" + failure.what() + ")." + nothingOf(archiveName);
        }
        std::error_code ignored;
        fs::remove(member->scratch, ignored);
        member->scratch.clear();
    }
    return std::nullopt;
}

void UpgradeArchive::putInPlace(std::vector<Member>& members)
{
    for (Member& member : members) {
        if (member.scratch.empty())
            continue;
        if (m_beforeReplacing)
            m_beforeReplacing(member.target);
        // A rename: whoever has the old file open keeps reading it.
        std::error_code error;
        fs::rename(member.scratch, member.target, error);
        if (error)
            throw ZipError(ZipError::Cause::Disk, ZIP_ER_RENAME, member.name, error.message());
        member.scratch.clear();
    }
}

std::nullopt_t UpgradeArchive::refuse(std::vector<Member>& members, const std::string& message)
{
    removeScratch(members);
    m_progress.bars(0, 0);
    m_prompt.tell(message, "KORA", Prompt::Icon::Critical);
    return std::nullopt;
}

std::string UpgradeArchive::failureMessage(const ZipError& error, const std::string& archiveName)
{
    switch (error.cause()) {
    case ZipError::Cause::Member:
        return "The member " + error.subject() + " of " + archiveName + " is damaged (" +
               error.reason() + ")." + nothingOf(archiveName);
    case ZipError::Cause::Disk:
        return error.subject() + " could not be written into the KORA program folder (" +
               error.reason() + ")." + nothingOf(archiveName);
    case ZipError::Cause::Archive:
        break;
    }
    return errorMessage(error.code());
}

void UpgradeArchive::removeScratch(std::vector<Member>& members)
{
    for (Member& member : members) {
        if (member.scratch.empty())
            continue;
        std::error_code ignored;
        fs::remove(member.scratch, ignored);
        member.scratch.clear();
    }
}

std::optional<std::string> UpgradeArchive::writeMarkers(const std::vector<std::string>& saved,
                                                        const std::string& archiveName)
{
    for (auto state : kMarkerOrder) {
        if (std::find(saved.begin(), saved.end(), state) == saved.end())
            continue;
        const std::string name = restoreMarker(state);
        std::ofstream marker(m_folder / name, std::ios::binary | std::ios::trunc);
        marker << " \r\n";
        if (!marker.flush())
            return name + " could not be written into the KORA program folder." +
                   nothingOf(archiveName);
    }
    return std::nullopt;
}

std::optional<bool> UpgradeArchive::install(const fs::path& archive)
{
    const std::string archiveName = archive.filename().string();
    std::vector<Member> members;
    findStatesOnServer();
    try {
        ZipArchive zip(archive.string());
        const int count = zip.memberCount();
        for (int index = 0; index < count; ++index) {
            if (const auto refused = refusal(zip, index, archiveName))
                return refuse(members, *refused);
            const std::string name = zip.memberName(index);
            members.push_back({index, name, m_folder / *MemberName::relativePath(name), {}});
        }
        if (const auto refused = spaceRefusal(zip, archiveName))
            return refuse(members, *refused);
        // Held until the new files and the restore markers are in place.
        std::vector<StateLock> held;
        for (const Member& member : members) {
            if (const auto refused = holdInstalled(member, held, archiveName))
                return refuse(members, *refused);
        }
        bool upgradeContinue = true;
        std::vector<std::string> saved;
        if (!saveNotes(members, saved, upgradeContinue, archiveName))
            return std::nullopt;
        m_progress.status("Loading New Database");
        unpack(zip, members);
        if (const auto refused = databaseRefusal(members, archiveName))
            return refuse(members, *refused);
        if (const auto refused = keepStatesOnServer(members, archiveName))
            return refuse(members, *refused);
        // The markers come first: a crash among the renames leaves a marker
        // beside each state database, old or new, and a restore into the old
        // one only puts back what it already holds.
        if (const auto refused = writeMarkers(saved, archiveName))
            return refuse(members, *refused);
        if (const auto refused = copyToServer(members, archiveName))
            return refuse(members, *refused);
        putInPlace(members);
        m_progress.status(" ");
        return upgradeContinue;
    } catch (const ZipError& error) {
        return refuse(members, failureMessage(error, archiveName));
    }
}

} // namespace kora
