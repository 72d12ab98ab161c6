#include "results/CompanyNotes.h"

#include "base/Blanks.h"
#include "base/Dates.h"
#include "database/DbError.h"
#include "results/UserDataChanges.h"

namespace kora {

namespace {

const char* const kNoRow = "TROUBLE IN RIVER CITY";
const char* const kHeldByAnother = "Another user is working with data which affects your notes.  "
                                   "Try again later to view your information.";

} // namespace

CompanyNotes::CompanyNotes(Database& db, Prompt& prompt) : m_db(db), m_prompt(prompt), m_lock(db) {}

std::optional<std::string> CompanyNotes::readNote(const std::string& file,
                                                  const std::string& sequence)
{
    Statement query = m_db.prepare("SELECT NOTES FROM NOTES WHERE FILE = ? AND SEQUENCE = ?");
    query.readWholeResult().bind(1, file).bind(2, sequence);
    if (!query.step())
        return std::nullopt;
    return query.column(0).toString();
}

int CompanyNotes::noteLength(const std::string& file, const std::string& sequence)
{
    const auto note = readNote(file, sequence);
    if (!note) {
        m_prompt.tell(kNoRow);
        return 0;
    }
    return static_cast<int>(trimBlanks(*note).size());
}

std::string CompanyNotes::lockedNote(const std::string& file, const std::string& sequence)
{
    release();
    // The note is read only once the lock is held: read before, it could be
    // the text the previous holder was just replacing, and storing it back
    // would lose that holder's entry.
    const bool held = m_lock.tryLock(file, sequence);
    std::optional<std::string> note;
    bool readable = true;
    try {
        note = readNote(file, sequence);
    } catch (const DbError&) {
        readable = false;
    }
    if (readable && !note)
        m_prompt.tell(kNoRow);
    if (!held || !note) {
        m_lock.unlock();
        m_prompt.tell(kHeldByAnother);
        return kLocked;
    }
    m_file = file;
    m_sequence = sequence;
    m_note = *note;
    return *note;
}

void CompanyNotes::storeNote(const std::string& note)
{
    if (!m_lock.isLocked())
        return;
    const std::string stored = note.empty() ? std::string(" ") : note;
    try {
        m_db.prepare("UPDATE NOTES SET NOTES = ? WHERE FILE = ? AND SEQUENCE = ?")
            .bindAll({Value(stored), Value(m_file), Value(m_sequence)})
            .run();
    } catch (const DbError&) {
        // A note that cannot be stored must not keep the company locked.
        release();
        throw;
    }
    if (stored != m_note)
        UserDataChanges::record();
    release();
}

void CompanyNotes::release()
{
    m_lock.unlock();
    m_file.clear();
    m_sequence.clear();
    m_note.clear();
}

void CompanyNotes::storeFollowUp(const std::optional<FollowUp>& followUp)
{
    if (!m_lock.isLocked())
        return;
    FollowUps followUps(m_db);
    if (followUps.of(m_file, m_sequence) == followUp)
        return;
    followUps.store(m_file, m_sequence, followUp);
    UserDataChanges::record();
}

bool CompanyNotes::changeFollowUp(const std::string& file, const std::string& sequence,
                                  const std::optional<FollowUp>& followUp, bool done)
{
    const std::string note = lockedNote(file, sequence);
    if (note == kLocked)
        return false;
    const auto current = FollowUps(m_db).of(file, sequence);
    try {
        storeFollowUp(followUp);
    } catch (const DbError&) {
        release();
        throw;
    }
    if (done && current)
        storeNote(withDoneLine(note, FollowUps::doneLine(Dates::today(), current->text)));
    else
        release();
    return true;
}

std::string CompanyNotes::withDoneLine(const std::string& note, const std::string& line)
{
    const std::string_view kept = trimBlanks(note);
    return kept.empty() ? line : std::string(kept) + "\n" + line;
}

} // namespace kora
