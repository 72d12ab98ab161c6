#pragma once

#include "base/Prompt.h"
#include "database/Database.h"
#include "results/FollowUps.h"
#include "results/NoteLock.h"

#include <optional>
#include <string>

namespace kora {

// The user's note on each company (table NOTES) and its follow-up, guarded
// while a record window has them open: lockedNote takes an operating-system
// lock that other processes cannot take, storeNote stores the note and
// releases it.
class CompanyNotes
{
public:
    // The marker lockedNote returns when another user holds the note.
    static constexpr const char* kLocked = "***LOCKED***";

    CompanyNotes(Database& db, Prompt& prompt);

    // Length of the note without leading and trailing blanks; read without the
    // lock, so browsing never stops on another user's open record window.
    int noteLength(const std::string& file, const std::string& sequence);
    // The note, locked for the caller until storeNote or release(); kLocked
    // (after telling the user why) when another user holds it.
    std::string lockedNote(const std::string& file, const std::string& sequence);
    // Stores the note of the locked company (an empty note as one blank) and
    // releases it; a failed store releases it too and throws DbError.
    void storeNote(const std::string& note);
    // Releases the lock without storing (a record window closed another way).
    void release();
    // Stores the follow-up of the locked company (nullopt clears it); nothing
    // without the lock.
    void storeFollowUp(const std::optional<FollowUp>& followUp);
    // Sets the company's follow-up from outside a record window, under the
    // lock for that moment; done appends the done line of the current
    // follow-up to the note first. False (after telling the user why) when
    // another user holds the company.
    bool changeFollowUp(const std::string& file, const std::string& sequence,
                        const std::optional<FollowUp>& followUp, bool done);

    // The note with a line added at its end, after a line break as the record
    // window writes it (an empty note becomes the line).
    static std::string withDoneLine(const std::string& note, const std::string& line);

private:
    std::optional<std::string> readNote(const std::string& file, const std::string& sequence);

    Database& m_db;
    Prompt& m_prompt;
    NoteLock m_lock;
    std::string m_file;
    std::string m_sequence;
    std::string m_note; // as read when it was locked
};

} // namespace kora
