#include "database/TableRecordSet.h"

#include "base/FieldName.h"
#include "database/Connection.h"
#include "database/DbError.h"

#include <algorithm>

namespace kora {

namespace {

// The condition "key columns after (or before) the given values" in index
// order, where no value sorts first, as SQLite orders it.
std::string keysetCondition(const std::vector<std::string>& columns,
                            const std::vector<Value>& values, bool forward, bool inclusive,
                            std::vector<Value>& arguments)
{
    const bool anyNull =
        std::any_of(values.begin(), values.end(), [](const Value& v) { return v.isNull(); });
    if (forward && !anyNull) {
        // A row-value comparison lets the engine walk the index from the key on;
        // rows without a value sort first and are rightly left out.
        std::string left;
        std::string marks;
        for (size_t i = 0; i < columns.size(); ++i) {
            left += (i ? ", " : "") + columns[i];
            marks += i ? ", ?" : "?";
        }
        arguments.insert(arguments.end(), values.begin(), values.end());
        return "(" + left + ")" + (inclusive ? " >= " : " > ") + "(" + marks + ")";
    }
    std::string condition;
    std::string equalPrefix;
    std::vector<Value> prefixArguments;
    for (size_t i = 0; i < columns.size(); ++i) {
        const std::string& column = columns[i];
        const Value& value = values[i];
        std::string beyond;
        std::vector<Value> beyondArguments;
        if (forward) {
            if (value.isNull()) {
                beyond = column + " IS NOT NULL";
            } else {
                beyond = column + " > ?";
                beyondArguments.push_back(value);
            }
        } else if (!value.isNull()) {
            beyond = "(" + column + " < ? OR " + column + " IS NULL)";
            beyondArguments.push_back(value);
        }
        if (!beyond.empty()) {
            if (!condition.empty())
                condition += " OR ";
            condition += "(" + equalPrefix + beyond + ")";
            arguments.insert(arguments.end(), prefixArguments.begin(), prefixArguments.end());
            arguments.insert(arguments.end(), beyondArguments.begin(), beyondArguments.end());
        }
        if (value.isNull()) {
            equalPrefix += column + " IS NULL AND ";
        } else {
            equalPrefix += column + " = ? AND ";
            prefixArguments.push_back(value);
        }
    }
    if (inclusive) {
        if (!condition.empty())
            condition += " OR ";
        condition += "(" + equalPrefix + "1 = 1)";
        arguments.insert(arguments.end(), prefixArguments.begin(), prefixArguments.end());
    }
    return condition.empty() ? "1 = 0" : condition;
}

} // namespace

TableRecordSet::TableRecordSet(Database& db, const std::string& table) : m_db(db), m_table(table)
{
    for (const std::string& name : m_db.connection().columnsOf(table)) {
        m_columnIndex[foldFieldName(name)] = static_cast<int>(m_columns.size());
        m_columns.push_back(name);
    }
    if (m_columns.empty())
        throw DbError("The table '" + table + "' does not exist.", DbError::Kind::NotFound);
    m_selectList = "rowid";
    for (const auto& column : m_columns)
        m_selectList += ", " + quoteIdentifier(column);
    moveFirst();
}

void TableRecordSet::setIndex(const std::string& indexName)
{
    std::vector<int> columns;
    for (const std::string& name : m_db.connection().indexColumnsOf(m_table + "_" + indexName))
        columns.push_back(columnIndex(name));
    if (columns.empty())
        throw DbError("'" + indexName + "' isn't an index in this table.", DbError::Kind::NotFound);
    m_indexColumns = columns;
    moveFirst();
}

int TableRecordSet::columnIndex(const std::string& name) const
{
    auto it = m_columnIndex.find(foldFieldName(name));
    if (it == m_columnIndex.end())
        throw DbError("Item not found in this collection: " + name, DbError::Kind::NotFound);
    return it->second;
}

std::string TableRecordSet::orderBy(bool descending) const
{
    const char* direction = descending ? " DESC" : "";
    std::string order = " ORDER BY ";
    for (int column : m_indexColumns)
        order += quoteIdentifier(m_columns[column]) + direction + ", ";
    return order + "rowid" + direction;
}

bool TableRecordSet::fetchOne(const std::string& where, const std::vector<Value>& arguments,
                              bool descending)
{
    Statement query =
        m_db.prepare("SELECT " + m_selectList + " FROM " + quoteIdentifier(m_table) +
                     (where.empty() ? "" : " WHERE " + where) + orderBy(descending) + " LIMIT 1");
    query.bindAll(arguments);
    m_mode = Mode::None;
    m_pending.clear();
    if (!query.step())
        return false;
    m_rowId = query.column(0).toInteger();
    m_row.resize(m_columns.size());
    for (size_t i = 0; i < m_columns.size(); ++i)
        m_row[i] = query.column(static_cast<int>(i) + 1);
    m_eof = m_bof = false;
    return true;
}

void TableRecordSet::seek(const std::string& op, const std::vector<Value>& key)
{
    if (m_indexColumns.empty())
        throw DbError("Operation is not supported without a current index.");
    if (key.empty() || key.size() > m_indexColumns.size())
        throw DbError("Seek needs one value for each leading field of the index.");
    std::vector<std::string> columns;
    for (size_t i = 0; i < key.size(); ++i)
        columns.push_back(quoteIdentifier(m_columns[m_indexColumns[i]]));

    std::vector<Value> arguments;
    std::string where;
    if (op == "=") {
        for (size_t i = 0; i < key.size(); ++i) {
            if (!where.empty())
                where += " AND ";
            if (key[i].isNull()) {
                where += columns[i] + " IS NULL";
            } else {
                where += columns[i] + " = ?";
                arguments.push_back(key[i]);
            }
        }
    } else if (op == ">=") {
        where = keysetCondition(columns, key, true, true, arguments);
    } else {
        throw DbError("Seek comparison '" + op + "' is not supported.");
    }
    m_noMatch = !fetchOne(where, arguments, false);
    if (m_noMatch) {
        m_rowId.reset();
        m_eof = true;
    }
}

void TableRecordSet::moveFirst()
{
    if (!fetchOne("", {}, false)) {
        m_rowId.reset();
        m_eof = m_bof = true;
    }
}

void TableRecordSet::moveLast()
{
    if (!fetchOne("", {}, true)) {
        m_rowId.reset();
        m_eof = m_bof = true;
    }
}

void TableRecordSet::moveNext()
{
    moveFrom(true);
}

void TableRecordSet::movePrevious()
{
    moveFrom(false);
}

void TableRecordSet::moveFrom(bool forward)
{
    if (!m_rowId) {
        if (forward ? m_eof : m_bof)
            throw DbError("No current record.");
        forward ? moveFirst() : moveLast();
        return;
    }
    std::vector<std::string> columns;
    std::vector<Value> values;
    for (int column : m_indexColumns) {
        columns.push_back(quoteIdentifier(m_columns[column]));
        values.push_back(m_row[column]);
    }
    columns.push_back("rowid");
    values.push_back(Value(*m_rowId));
    std::vector<Value> arguments;
    const std::string where = keysetCondition(columns, values, forward, false, arguments);
    if (!fetchOne(where, arguments, !forward)) {
        m_rowId.reset();
        if (forward)
            m_eof = true;
        else
            m_bof = true;
    }
}

Value TableRecordSet::field(const std::string& name) const
{
    const int column = columnIndex(name);
    if (m_mode != Mode::None) {
        auto pending = m_pending.find(column);
        if (pending != m_pending.end())
            return pending->second;
        if (m_mode == Mode::AddNew)
            return Value();
    }
    if (!m_rowId)
        throw DbError("No current record.");
    return m_row[column];
}

void TableRecordSet::setField(const std::string& name, const Value& value)
{
    if (m_mode == Mode::None)
        throw DbError("Update or CancelUpdate without AddNew or Edit.");
    m_pending[columnIndex(name)] = value;
}

void TableRecordSet::addNew()
{
    m_pending.clear();
    m_mode = Mode::AddNew;
}

void TableRecordSet::edit()
{
    if (!m_rowId)
        throw DbError("No current record.");
    m_pending.clear();
    m_mode = Mode::Edit;
}

void TableRecordSet::cancelUpdate()
{
    m_pending.clear();
    m_mode = Mode::None;
}

void TableRecordSet::update()
{
    if (m_mode == Mode::None)
        throw DbError("Update or CancelUpdate without AddNew or Edit.");
    std::vector<Value> arguments;
    std::string sql;
    if (m_mode == Mode::AddNew) {
        std::string names;
        std::string marks;
        for (const auto& [column, value] : m_pending) {
            names += (names.empty() ? "" : ", ") + quoteIdentifier(m_columns[column]);
            marks += marks.empty() ? "?" : ", ?";
            arguments.push_back(value);
        }
        sql = names.empty() ? "INSERT INTO " + quoteIdentifier(m_table) + " DEFAULT VALUES"
                            : "INSERT INTO " + quoteIdentifier(m_table) + " (" + names +
                                  ") VALUES (" + marks + ")";
    } else {
        if (m_pending.empty()) {
            m_mode = Mode::None;
            return;
        }
        std::string assignments;
        for (const auto& [column, value] : m_pending) {
            assignments +=
                (assignments.empty() ? "" : ", ") + quoteIdentifier(m_columns[column]) + " = ?";
            arguments.push_back(value);
        }
        sql = "UPDATE " + quoteIdentifier(m_table) + " SET " + assignments + " WHERE rowid = ?";
        arguments.push_back(Value(*m_rowId));
    }
    m_db.prepare(sql).bindAll(arguments).run();
    if (m_mode == Mode::Edit)
        fetchOne("rowid = ?", {Value(*m_rowId)}, false);
    m_pending.clear();
    m_mode = Mode::None;
}

} // namespace kora
