#include "results/CompanyNotes.h"

#include "database/TableRecordSet.h"

namespace kora {

namespace {

const char* const kNoRow = "TROUBLE IN RIVER CITY";
const char* const kHeldByAnother = "Another user is working with data which affects your notes.  "
                                   "Try again later to view your information.";

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

CompanyNotes::CompanyNotes(Database& db, Prompt& prompt)
    : m_db(db), m_prompt(prompt), m_lock(db.path())
{
}

int CompanyNotes::GetNoteLength(const std::string& file, const std::string& sequence)
{
    Statement query = m_db.prepare("SELECT NOTES FROM NOTES WHERE FILE = ? AND SEQUENCE = ?");
    query.bind(1, file).bind(2, sequence);
    if (!query.step()) {
        m_prompt.tell(kNoRow);
        return 0;
    }
    return static_cast<int>(trimmed(query.column(0).toString()).size());
}

std::string CompanyNotes::GETNOTES(const std::string& file, const std::string& sequence)
{
    release();
    TableRecordSet notes(m_db, "NOTES");
    notes.setIndex("PRIMARY");
    notes.seek("=", {Value(file), Value(sequence)});
    if (notes.noMatch())
        m_prompt.tell(kNoRow);
    if (notes.noMatch() || !m_lock.tryLock(file, sequence)) {
        m_prompt.tell(kHeldByAnother);
        return kLocked;
    }
    m_file = file;
    m_sequence = sequence;
    return notes.field("NOTES").toString();
}

void CompanyNotes::SETNOTES(const std::string& note)
{
    if (!m_lock.isLocked())
        return;
    m_db.prepare("UPDATE NOTES SET NOTES = ? WHERE FILE = ? AND SEQUENCE = ?")
        .bindAll({Value(note.empty() ? std::string(" ") : note), Value(m_file), Value(m_sequence)})
        .run();
    release();
}

void CompanyNotes::release()
{
    m_lock.unlock();
    m_file.clear();
    m_sequence.clear();
}

} // namespace kora
