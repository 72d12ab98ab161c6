#include "database/QueryRecordSet.h"

#include "base/FieldName.h"
#include "database/DbError.h"

#include <limits>

namespace kora {

QueryRecordSet::QueryRecordSet(Database& db, const std::string& sql)
    : m_db(db), m_query(std::make_unique<Statement>(db.prepare(sql)))
{
    for (int i = 0; i < m_query->columnCount(); ++i) {
        m_names.push_back(m_query->columnName(i));
        m_nameIndex.emplace(foldFieldName(m_names.back()), i);
        m_findColumns.push_back(m_query->m_engine->parameterAsColumn(i));
    }
    moveFirst();
}

bool QueryRecordSet::fetchUpTo(long long position)
{
    while (static_cast<long long>(m_rows.size()) <= position && !m_finished) {
        if (!m_query->step()) {
            m_finished = true;
            m_query.reset();
            break;
        }
        std::vector<Value> row(m_names.size());
        for (size_t i = 0; i < m_names.size(); ++i)
            row[i] = m_query->column(static_cast<int>(i));
        m_rows.push_back(std::move(row));
    }
    return position >= 0 && position < static_cast<long long>(m_rows.size());
}

void QueryRecordSet::place(long long position)
{
    const bool inside = fetchUpTo(position);
    m_position = position;
    m_eof = !inside && position >= 0;
    m_bof = position < 0 || (m_rows.empty() && m_finished);
    if (m_rows.empty() && m_finished)
        m_eof = true;
}

void QueryRecordSet::moveFirst()
{
    place(0);
}

void QueryRecordSet::moveLast()
{
    fetchUpTo(std::numeric_limits<long long>::max() - 1);
    place(static_cast<long long>(m_rows.size()) - 1);
}

void QueryRecordSet::moveNext()
{
    if (m_eof)
        throw DbError("No current record.");
    place(m_position + 1);
}

void QueryRecordSet::movePrevious()
{
    if (m_bof)
        throw DbError("No current record.");
    place(m_position - 1);
}

void QueryRecordSet::move(long long position)
{
    place(position < 0 ? -1 : position);
}

long long QueryRecordSet::recordCount()
{
    fetchUpTo(std::numeric_limits<long long>::max() - 1);
    return static_cast<long long>(m_rows.size());
}

Value QueryRecordSet::field(const std::string& name) const
{
    auto it = m_nameIndex.find(foldFieldName(name));
    if (it == m_nameIndex.end())
        throw DbError("Item not found in this collection: " + name, DbError::Kind::NotFound);
    return field(it->second);
}

Value QueryRecordSet::field(int index) const
{
    if (m_eof || m_bof || m_position < 0 || m_position >= static_cast<long long>(m_rows.size()))
        throw DbError("No current record.");
    return m_rows[m_position][index];
}

bool QueryRecordSet::findFirst(const std::string& criteria)
{
    return find(criteria, 0, 1);
}

bool QueryRecordSet::findNext(const std::string& criteria)
{
    return find(criteria, m_position + 1, 1);
}

bool QueryRecordSet::findPrevious(const std::string& criteria)
{
    return find(criteria, m_position - 1, -1);
}

bool QueryRecordSet::matches(Statement& test, long long row)
{
    test.reset();
    test.bindAll(m_rows[row]);
    return test.step() && test.column(0).toBool();
}

bool QueryRecordSet::find(const std::string& criteria, long long from, int direction)
{
    // The criteria run over one row at a time, its fields bound as the columns
    // of a one-row subquery; text fields compare without regard to case.
    std::string columns;
    for (size_t i = 0; i < m_names.size(); ++i)
        columns +=
            (columns.empty() ? "" : ", ") + m_findColumns[i] + " AS " + quoteIdentifier(m_names[i]);
    Statement test =
        m_db.prepare("SELECT CASE WHEN (" + criteria + ") THEN 1 ELSE 0 END FROM (SELECT " +
                     (columns.empty() ? std::string("1") : columns) + ")");
    for (long long row = from; row >= 0 && fetchUpTo(row); row += direction) {
        if (matches(test, row)) {
            m_noMatch = false;
            place(row);
            return true;
        }
    }
    m_noMatch = true;
    return false;
}

} // namespace kora
