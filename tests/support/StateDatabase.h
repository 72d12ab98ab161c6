#pragma once

#include "database/Database.h"
#include "database/Schema.h"
#include "support/TempFolder.h"

#include <string>
#include <vector>

namespace kora::test {

// An empty state database (all tables, reference rows) in a test folder, open.
class StateDatabase
{
public:
    static constexpr const char* kConnect = ";PWD=secret1";

    explicit StateDatabase(const std::string& state = "PA")
        : m_path(m_folder.file("KORA" + state + ".MDB"))
    {
        Schema::createStateDatabase(m_path, kConnect, state);
        m_db.open(m_path, kConnect);
    }

    Database& db() { return m_db; }
    const TempFolder& folder() const { return m_folder; }
    std::string path() const { return m_path; }
    // The first column of the first row the query gives; null when it gives none.
    Value value(const std::string& sql, const std::vector<Value>& arguments = {})
    {
        Statement query = m_db.prepare(sql);
        query.bindAll(arguments);
        return query.step() ? query.column(0) : Value();
    }

private:
    TempFolder m_folder;
    std::string m_path;
    Database m_db;
};

} // namespace kora::test
