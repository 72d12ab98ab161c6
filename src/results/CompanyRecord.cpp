#include "results/CompanyRecord.h"

#include "database/TableRecordSet.h"
#include "results/UserDataChanges.h"

namespace kora {

CompanyRecord::CompanyRecord(Database& db, std::string file, std::string sequence)
    : m_db(db), m_file(std::move(file)), m_sequence(std::move(sequence))
{
}

std::optional<CompanyRow> CompanyRecord::read() const
{
    Statement query = m_db.prepare("SELECT * FROM PRIME WHERE FILE = ? AND SEQUENCE = ?");
    query.readWholeResult().bindAll({Value(m_file), Value(m_sequence)});
    if (!query.step())
        return std::nullopt;
    return CompanyRow::current(CompanyRow::columnsOf(query), query);
}

std::string CompanyRecord::sicDescription(const Value& sic) const
{
    TableRecordSet codes(m_db, "SICCODES");
    codes.setIndex("PRIMARY");
    codes.seek("=", {sic});
    return codes.noMatch() ? std::string() : codes.field("DESC").toString();
}

std::vector<CompanyRecord::Associate> CompanyRecord::associates() const
{
    Statement query =
        m_db.prepare("SELECT FILE, SEQUENCE, NAME1 FROM PRIME WHERE FILE = ? ORDER BY SEQUENCE");
    query.readWholeResult().bind(1, Value(m_file));
    std::vector<Associate> found;
    while (query.step())
        found.push_back(
            {query.column(0).toString(), query.column(1).toString(), query.column(2).toString()});
    return found;
}

std::vector<CompanyRecord::RatingClass> CompanyRecord::classes() const
{
    Statement query = m_db.prepare("SELECT CLASS, CLASSDESC, LOSSCOST FROM CLASS "
                                   "WHERE FILE = ? AND SEQUENCE = ? ORDER BY CLASS");
    query.readWholeResult().bindAll({Value(m_file), Value(m_sequence)});
    std::vector<RatingClass> found;
    while (query.step())
        found.push_back({query.column(0).toString(), query.column(1).toString(), query.column(2)});
    return found;
}

std::optional<CompanyRow> CompanyRecord::store(const FieldValues& fields)
{
    TableRecordSet prime(m_db, "PRIME");
    prime.setIndex("PRIMARY");
    prime.seek("=", {Value(m_file), Value(m_sequence)});
    if (prime.noMatch())
        return std::nullopt;
    bool changed = false;
    prime.edit();
    for (const auto& [name, value] : fields) {
        changed = changed || prime.field(name) != value;
        prime.setField(name, value);
    }
    prime.update();
    if (changed)
        UserDataChanges::record();
    return read();
}

} // namespace kora
