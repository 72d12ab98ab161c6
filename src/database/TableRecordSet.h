#pragma once

#include "database/Database.h"
#include "database/Value.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kora {

// Indexed access to one table: choose an index by name, seek, move in index
// order, read and write fields by name (names are matched without regard to case).
class TableRecordSet
{
public:
    TableRecordSet(Database& db, const std::string& table);

    // Orders the record set by the named index of the table ("PRIMARY", "KEY2", ...).
    void setIndex(const std::string& indexName);
    // op is "=" or ">="; key holds one value per leading index field.
    void seek(const std::string& op, const std::vector<Value>& key);
    bool noMatch() const { return m_noMatch; }

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }

    Value field(const std::string& name) const;
    void setField(const std::string& name, const Value& value);

    void addNew();
    void edit();
    // Stores the pending row; throws DbError (kind UniqueViolation when a unique index breaks).
    void update();
    void cancelUpdate();

private:
    enum class Mode
    {
        None,
        Edit,
        AddNew
    };

    int columnIndex(const std::string& name) const;
    std::string orderBy(bool descending) const;
    bool fetchOne(const std::string& where, const std::vector<Value>& arguments, bool descending);
    void moveFrom(bool forward);

    Database& m_db;
    std::string m_table;
    std::vector<std::string> m_columns;
    std::map<std::string, int> m_columnIndex;
    std::vector<int> m_indexColumns;
    std::string m_selectList;

    std::optional<long long> m_rowId;
    std::vector<Value> m_row;
    std::map<int, Value> m_pending;
    Mode m_mode = Mode::None;
    bool m_noMatch = false;
    bool m_eof = true;
    bool m_bof = true;
};

} // namespace kora
