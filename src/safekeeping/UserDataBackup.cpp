#include "safekeeping/UserDataBackup.h"

#include "base/AtomicFile.h"
#include "base/Blanks.h"
#include "base/Folders.h"
#include "base/Quoting.h"
#include "base/StateCodes.h"
#include "base/UserFields.h"
#include "database/Database.h"
#include "database/LockFile.h"
#include "database/Schema.h"
#include "database/Transaction.h"
#include "safekeeping/PendingRestore.h"

#include <filesystem>
#include <stdexcept>

namespace kora {

namespace fs = std::filesystem;

namespace {

const char* const kNotesQuery = "SELECT FILE, SEQUENCE, NOTES FROM NOTES WHERE NOTES > ''";
const char* const kFieldsFilter =
    " FROM PRIME WHERE (User1 > '' OR User2> '' OR User3 > '' OR UserPhone > '' or "
    "UserFax > '' or UserContact > '' or UserTitle > '' or Omit = 'Y')";

// A freshly loaded database holds single blanks: they are not the user's.
bool filled(const Value& value)
{
    return !trimBlanks(value.toString()).empty();
}

bool anyUserField(const Statement& row)
{
    for (size_t field = 0; field + 1 < kUserFields.size(); ++field)
        if (filled(row.column(static_cast<int>(field) + 2)))
            return true;
    return row.column(static_cast<int>(kUserFields.size()) + 1).toString() == "Y";
}

// The scratch file starts as a copy of the old backup, so that what the
// backup does not rewrite (its VERSION row) stays; without an old backup it
// starts empty.
void startScratch(const std::string& backupPath, const std::string& scratch)
{
    std::error_code missing;
    if (!fs::exists(backupPath, missing)) {
        Schema::createBackupDatabase(scratch);
        return;
    }
    Database old(backupPath, "");
    old.execute("VACUUM INTO " + quotedWith(scratch, '\''));
}

UserDataCounts copyUserData(Database& state, Database& backup)
{
    UserDataCounts counts;
    Transaction transaction(backup);
    backup.execute("DELETE * FROM USER");
    backup.execute("DELETE * FROM NOTES");

    Statement addNote =
        backup.prepare("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES (?, ?, ?)");
    Statement notes = state.prepare(kNotesQuery);
    while (notes.step()) {
        if (!filled(notes.column(2)))
            continue;
        addNote.reset();
        addNote.bindAll({notes.column(0), notes.column(1), notes.column(2)}).run();
        ++counts.notes;
    }

    const int columns = static_cast<int>(kUserFields.size()) + 2;
    std::string marks = "?";
    for (int column = 1; column < columns; ++column)
        marks += ", ?";
    Statement addFields = backup.prepare("INSERT INTO USER (FILE, SEQUENCE, " + userFieldList() +
                                         ") VALUES (" + marks + ")");
    Statement fields = state.prepare("SELECT FILE, SEQUENCE, " + userFieldList() + kFieldsFilter);
    while (fields.step()) {
        if (!anyUserField(fields))
            continue;
        addFields.reset();
        for (int column = 0; column < columns; ++column)
            addFields.bind(column + 1, fields.column(column));
        addFields.run();
        ++counts.fields;
    }

    // A state of an older release may have no follow-ups yet; an older backup no place for them.
    Schema::createIfMissing(backup, Schema::followUpTable());
    backup.execute("DELETE FROM FOLLOWUP");
    if (state.tableExists(Schema::followUpTable().name)) {
        Statement addFollowUp =
            backup.prepare("INSERT INTO FOLLOWUP (FILE, SEQUENCE, DUE, TEXT) VALUES (?, ?, ?, ?)");
        Statement followUps = state.prepare("SELECT FILE, SEQUENCE, DUE, TEXT FROM FOLLOWUP");
        while (followUps.step()) {
            addFollowUp.reset();
            addFollowUp
                .bindAll({followUps.column(0), followUps.column(1), followUps.column(2),
                          followUps.column(3)})
                .run();
            ++counts.followUps;
        }
    }
    transaction.commit();
    return counts;
}

} // namespace

UserDataCounts UserDataBackup::run(const std::string& programFolder, const std::string& state,
                                   const std::string& stateConnect,
                                   const std::function<void()>& beforeReplacing)
{
    const std::string folder = Folders::withSeparator(programFolder);
    const std::string statePath = folder + stateDatabaseName(state);
    const std::string backupPath = folder + backupDatabaseName(state);
    LockFile lock(statePath);
    if (!lock.tryLock(LockFile::kBackupByte, LockFile::Kind::Exclusive))
        throw std::runtime_error(lock.isOpen()
                                     ? "another backup of the " + state +
                                           " user notes and fields is being made just "
                                           "now; try again when it has finished"
                                     : "the lock file beside " + statePath + " cannot be opened");
    PendingRestore::restore(folder, state, stateConnect);
    UserDataCounts counts;
    AtomicFile::replace(backupPath, [&](const std::string& scratch) {
        {
            Database stateDb(statePath, stateConnect);
            startScratch(backupPath, scratch);
            Database backup(scratch, "");
            counts = copyUserData(stateDb, backup);
        }
        // The old file's journal would otherwise be played into the new file.
        std::error_code ignored;
        fs::remove(backupPath + "-wal", ignored);
        fs::remove(backupPath + "-shm", ignored);
        if (beforeReplacing)
            beforeReplacing();
    });
    return counts;
}

std::string UserDataBackup::message(const UserDataCounts& counts, const std::string& backupPath)
{
    return std::to_string(counts.notes) + " User Notes and " + std::to_string(counts.fields) +
           " Fields Saved to " + backupPath;
}

} // namespace kora
