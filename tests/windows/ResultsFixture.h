#pragma once

#include "database/Database.h"
#include "shell/MASTER.h"
#include "support/WindowFixture.h"
#include "windows/KRLIST.h"

#include <string>

namespace kora::test {

// A program folder with a few companies in one state database, and the main
// window and result list open on that state, as after a workspace choice.
class ResultsFixture : public WindowFixture
{
public:
    explicit ResultsFixture(const std::string& state);

    MASTER& master() { return m_master; }
    KRLIST& list() { return *m_list; }
    Database& db() { return m_db; }
    std::string databasePath() { return m_master.values().stateDatabasePath(); }

    // Adds a company with its note row; fields are PRIME field names and values.
    void addCompany(const std::string& file, const std::string& sequence,
                    const std::vector<std::pair<std::string, Value>>& fields,
                    const Value& note = Value(" "));
    Value field(const std::string& file, const std::string& sequence, const std::string& name);
    Value note(const std::string& file, const std::string& sequence);

private:
    MASTER m_master;
    Database m_db;
    KRLIST* m_list = nullptr;
};

} // namespace kora::test
