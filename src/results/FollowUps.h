#pragma once

#include "database/Database.h"

#include <optional>
#include <string>
#include <vector>

namespace kora {

// A call-back date on a company: the day it is due (YYYY-MM-DD) and what to do.
struct FollowUp
{
    std::string due;
    std::string text;

    bool operator==(const FollowUp&) const = default;
};

// The agent's follow-ups on the companies of a state (table FOLLOWUP), one a
// company at most. Writers hold the company's note lock (CompanyNotes).
class FollowUps
{
public:
    static constexpr size_t kTextLength = 60;

    // One line of what is due.
    struct Due
    {
        std::string due;
        std::string file;
        std::string sequence;
        std::string name;
        std::string text;
    };

    explicit FollowUps(Database& db) : m_db(db) {}

    std::optional<FollowUp> of(const std::string& file, const std::string& sequence);
    // Sets the company's follow-up, or clears it with nullopt. The text is cut
    // to kTextLength characters (of UTF-8).
    void store(const std::string& file, const std::string& sequence,
               const std::optional<FollowUp>& followUp);
    // The follow-ups of the state's companies due on or before lastDay, oldest
    // first, then by name.
    std::vector<Due> dueBy(const std::string& lastDay);

    // The dated line a done follow-up leaves in the note: "12/07/26 - Done: Call about renewal".
    static std::string doneLine(const std::string& today, const std::string& text);
    // The quick choice "30 days before renewal": 30 days before the next
    // anniversary of the expiration that is not yet past; empty without one.
    static std::string beforeRenewal(const std::string& expire, const std::string& today);

private:
    Database& m_db;
};

} // namespace kora
