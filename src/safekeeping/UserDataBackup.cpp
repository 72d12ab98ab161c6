#include "safekeeping/UserDataBackup.h"

#include "base/Blanks.h"
#include "base/Quoting.h"
#include "database/Database.h"
#include "database/Schema.h"
#include "database/Transaction.h"
#include "safekeeping/UserFields.h"

#include <filesystem>

namespace kora {

namespace fs = std::filesystem;

namespace {

const char* const kNotesQuery = "SELECT FILE, SEQUENCE, NOTES FROM NOTES WHERE NOTES > ''";
const char* const kFieldsQuery =
    "SELECT FILE, SEQUENCE, User1, User2, User3, UserPhone, UserFax, UserContact, UserTitle, "
    "Omit FROM PRIME WHERE (User1 > '' OR User2> '' OR User3 > '' OR UserPhone > '' or "
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

void removeWithJournal(const std::string& path)
{
    std::error_code ignored;
    fs::remove(path, ignored);
    fs::remove(path + "-wal", ignored);
    fs::remove(path + "-shm", ignored);
}

// The scratch file starts as a copy of the old backup, so that what the
// backup does not rewrite (its VERSION row) stays; without an old backup it
// starts empty.
void startScratch(const std::string& backupPath, const std::string& scratch)
{
    removeWithJournal(scratch);
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

    Statement addFields = backup.prepare(
        "INSERT INTO USER (FILE, SEQUENCE, User1, User2, User3, UserPhone, "
        "UserFax, UserContact, UserTitle, Omit) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    Statement fields = state.prepare(kFieldsQuery);
    const int columns = static_cast<int>(kUserFields.size()) + 2;
    while (fields.step()) {
        if (!anyUserField(fields))
            continue;
        addFields.reset();
        for (int column = 0; column < columns; ++column)
            addFields.bind(column + 1, fields.column(column));
        addFields.run();
        ++counts.fields;
    }
    transaction.commit();
    return counts;
}

} // namespace

UserDataCounts UserDataBackup::run(const std::string& statePath, const std::string& stateConnect,
                                   const std::string& backupPath)
{
    const std::string scratch = backupPath + ".new";
    try {
        Database state(statePath, stateConnect);
        startScratch(backupPath, scratch);
        UserDataCounts counts;
        {
            Database backup(scratch, "");
            counts = copyUserData(state, backup);
        }
        // The old file's journal would otherwise be played into the new file.
        std::error_code ignored;
        fs::remove(backupPath + "-wal", ignored);
        fs::remove(backupPath + "-shm", ignored);
        fs::rename(scratch, backupPath);
        return counts;
    } catch (...) {
        removeWithJournal(scratch);
        throw;
    }
}

std::string UserDataBackup::message(const UserDataCounts& counts, const std::string& backupPath)
{
    return std::to_string(counts.notes) + " User Notes and " + std::to_string(counts.fields) +
           " Fields Saved to " + backupPath;
}

} // namespace kora
