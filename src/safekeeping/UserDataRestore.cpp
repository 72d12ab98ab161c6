#include "safekeeping/UserDataRestore.h"

#include "base/UserFields.h"
#include "database/Database.h"
#include "database/Schema.h"
#include "database/Transaction.h"
#include "results/AddressOverride.h"
#include "results/FollowUps.h"
#include "results/NoteLock.h"

namespace kora {

namespace {

class Restorer
{
public:
    Restorer(UserDataRestore::Mode mode, Database& state, Database& backup)
        : m_mode(mode), m_state(state), m_backup(backup), m_lock(state),
          // A load keeps the notes rows of the companies it drops; they are
          // not the state's any more and get nothing back.
          m_readNote(state.prepare("SELECT NOTES FROM NOTES WHERE FILE = ? AND SEQUENCE = ? AND "
                                   "EXISTS (SELECT 1 FROM PRIME WHERE PRIME.FILE = NOTES.FILE "
                                   "AND PRIME.SEQUENCE = NOTES.SEQUENCE)")),
          m_writeNote(state.prepare("UPDATE NOTES SET NOTES = ? WHERE FILE = ? AND SEQUENCE = ?")),
          m_writeFields(state.prepare("UPDATE PRIME SET " + userFieldList(" = ?") +
                                      " WHERE FILE = ? AND SEQUENCE = ?")),
          m_writeAddress(state.prepare("UPDATE PRIME SET STREET = ?, CITY = ?, ST = ?, ZIP = ?, "
                                       "ZIPEXT = ? WHERE FILE = ? AND SEQUENCE = ?"))
    {
    }

    void restoreNotes()
    {
        Statement notes = m_backup.prepare("SELECT FILE, SEQUENCE, NOTES FROM NOTES");
        while (notes.step()) {
            const Value file = notes.column(0);
            const Value sequence = notes.column(1);
            m_readNote.reset();
            m_readNote.bindAll({file, sequence});
            if (!m_readNote.step())
                continue;
            const std::string current = m_readNote.column(0).toString();
            m_readNote.reset();
            // A note open in another user's record window would be overwritten
            // by that window when it closes: it is left alone.
            if (!m_lock.tryLock(file.toString(), sequence.toString())) {
                ++m_counts.notesHeld;
                continue;
            }
            const std::string saved = notes.column(2).toString();
            const bool merge = m_mode == UserDataRestore::Mode::Merge;
            // A note that holds the saved text already, as after a merge of
            // the same backup, gets it no second time.
            if (!merge || current.find(saved) == std::string::npos) {
                const bool append = merge && !current.empty();
                m_writeNote.reset();
                m_writeNote
                    .bindAll({Value(append ? current + "\r\n" + saved : saved), file, sequence})
                    .run();
            }
            m_lock.unlock();
            ++m_counts.notes;
        }
    }

    void restoreFields()
    {
        Statement fields =
            m_backup.prepare("SELECT FILE, SEQUENCE, " + userFieldList() + " FROM USER");
        const int userColumns = static_cast<int>(kUserFields.size());
        while (fields.step()) {
            const Value file = fields.column(0);
            const Value sequence = fields.column(1);
            m_writeFields.reset();
            for (int column = 0; column < userColumns; ++column)
                m_writeFields.bind(column + 1, fields.column(column + 2));
            m_writeFields.bind(userColumns + 1, file).bind(userColumns + 2, sequence);
            if (m_writeFields.run() == 0)
                continue;
            ++m_counts.fields;
            if (AddressOverride::isOn(fields.column(2).toString()))
                restoreAddress(file, sequence, fields.column(3), fields.column(4));
        }
    }

    // Restore puts the saved follow-up in place of the current one; merge
    // keeps the earlier of the two. Like notes, they are left alone while
    // another user's record window holds the company (its note is counted).
    void restoreFollowUps()
    {
        if (!m_backup.tableExists(Schema::followUpTable().name))
            return;
        FollowUps current(m_state);
        Statement saved = m_backup.prepare("SELECT FILE, SEQUENCE, DUE, TEXT FROM FOLLOWUP");
        Statement inState = m_state.prepare("SELECT 1 FROM PRIME WHERE FILE = ? AND SEQUENCE = ?");
        while (saved.step()) {
            const std::string file = saved.column(0).toString();
            const std::string sequence = saved.column(1).toString();
            inState.reset();
            inState.bindAll({Value(file), Value(sequence)});
            if (!inState.step())
                continue;
            inState.reset();
            const FollowUp backedUp{saved.column(2).toString(), saved.column(3).toString()};
            if (!m_lock.tryLock(file, sequence))
                continue;
            const auto now = current.of(file, sequence);
            if (m_mode == UserDataRestore::Mode::Restore || !now || backedUp.due < now->due)
                current.store(file, sequence, backedUp);
            m_lock.unlock();
            ++m_counts.followUps;
        }
    }

    const UserDataCounts& counts() const { return m_counts; }

private:
    void restoreAddress(const Value& file, const Value& sequence, const Value& street,
                        const Value& cityStateZip)
    {
        m_writeAddress.reset();
        m_writeAddress.bind(1, street);
        int column = 2;
        for (const auto& [field, value] : AddressOverride::cityFields(cityStateZip.toString()))
            m_writeAddress.bind(column++, value);
        m_writeAddress.bind(column, file).bind(column + 1, sequence).run();
    }

    UserDataRestore::Mode m_mode;
    Database& m_state;
    Database& m_backup;
    NoteLock m_lock;
    Statement m_readNote;
    Statement m_writeNote;
    Statement m_writeFields;
    Statement m_writeAddress;
    UserDataCounts m_counts;
};

} // namespace

UserDataCounts UserDataRestore::run(Mode mode, const std::string& statePath,
                                    const std::string& stateConnect, const std::string& backupPath)
{
    Database backup(backupPath, "");
    Database state(statePath, stateConnect);
    Transaction transaction(state);
    // A database an upgrade delivered from an older release has no follow-ups yet.
    Schema::createIfMissing(state, Schema::followUpTable(), "NOTES");
    Restorer restorer(mode, state, backup);
    restorer.restoreNotes();
    restorer.restoreFields();
    restorer.restoreFollowUps();
    transaction.commit();
    return restorer.counts();
}

std::string UserDataRestore::message(Mode mode, const UserDataCounts& counts,
                                     const std::string& backupPath)
{
    std::string text =
        std::to_string(counts.notes) + " User Notes and " + std::to_string(counts.fields) +
        (mode == Mode::Merge ? " Fields Merged From " : " Fields Restored From ") + backupPath;
    if (counts.notesHeld > 0)
        text += "\r\n" + std::to_string(counts.notesHeld) +
                " User Notes open in another user's record window were left as they were.";
    return text;
}

std::string UserDataRestore::title(Mode mode)
{
    return mode == Mode::Merge ? "Merge Complete" : "Restore Complete";
}

} // namespace kora
