#include "results/FollowUps.h"

#include "base/Dates.h"

#include <cstdio>
#include <cstdlib>

namespace kora {

namespace {

constexpr int kCallBeforeRenewal = 30;

std::string dateOf(int year, int month, int day)
{
    // A February 29 expiration renews on March 1 in the years that have none.
    if (!Dates::isValid(year, month, day)) {
        ++month;
        day = 1;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

// The text cut to its first kTextLength characters, never inside one of UTF-8.
std::string shortened(const std::string& text)
{
    const auto continues = [&text](size_t at) {
        return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
    };
    size_t end = 0;
    for (size_t characters = 0; end < text.size() && characters < FollowUps::kTextLength;
         ++characters) {
        ++end;
        while (continues(end))
            ++end;
    }
    return text.substr(0, end);
}

} // namespace

std::optional<FollowUp> FollowUps::of(const std::string& file, const std::string& sequence)
{
    Statement query =
        m_db.prepare("SELECT DUE, TEXT FROM FOLLOWUP WHERE FILE = ? AND SEQUENCE = ?");
    query.readWholeResult().bindAll({Value(file), Value(sequence)});
    if (!query.step())
        return std::nullopt;
    return FollowUp{query.column(0).toString(), query.column(1).toString()};
}

void FollowUps::store(const std::string& file, const std::string& sequence,
                      const std::optional<FollowUp>& followUp)
{
    m_db.prepare("DELETE FROM FOLLOWUP WHERE FILE = ? AND SEQUENCE = ?")
        .bindAll({Value(file), Value(sequence)})
        .run();
    if (!followUp)
        return;
    m_db.prepare("INSERT INTO FOLLOWUP (FILE, SEQUENCE, DUE, TEXT) VALUES (?, ?, ?, ?)")
        .bindAll(
            {Value(file), Value(sequence), Value(followUp->due), Value(shortened(followUp->text))})
        .run();
}

std::vector<FollowUps::Due> FollowUps::dueBy(const std::string& lastDay)
{
    Statement query = m_db.prepare(
        "SELECT F.DUE, F.FILE, F.SEQUENCE, P.NAME1, F.TEXT FROM FOLLOWUP AS F INNER JOIN PRIME "
        "AS P ON P.FILE = F.FILE AND P.SEQUENCE = F.SEQUENCE WHERE F.DUE <= ? "
        "ORDER BY F.DUE, P.NAME1, F.FILE, F.SEQUENCE");
    query.bind(1, lastDay);
    std::vector<Due> due;
    while (query.step())
        due.push_back({query.column(0).toString(), query.column(1).toString(),
                       query.column(2).toString(), query.column(3).toString(),
                       query.column(4).toString()});
    return due;
}

std::string FollowUps::doneLine(const std::string& today, const std::string& text)
{
    return Dates::toMonthDayYear(today) + " - Done: " + text;
}

std::string FollowUps::beforeRenewal(const std::string& expire, const std::string& today)
{
    if (expire.size() < 10 || today.size() < 10)
        return {};
    const int month = std::atoi(expire.substr(5, 2).c_str());
    const int day = std::atoi(expire.substr(8, 2).c_str());
    const int year = std::atoi(today.substr(0, 4).c_str());
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return {};
    for (int renewal = year; renewal <= year + 1; ++renewal) {
        const std::string call = Dates::addDays(dateOf(renewal, month, day), -kCallBeforeRenewal);
        if (call >= today)
            return call;
    }
    return {};
}

} // namespace kora
