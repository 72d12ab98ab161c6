#pragma once

#include "database/Database.h"
#include "support/TempFolder.h"

#include <string>

namespace kora::test {

// A state database in a test folder holding a handful of companies:
// (FILE, SEQUENCE, NAME1, COUNTYNAME, EXPIRE, MOD).
class RecordSetTestDatabase
{
public:
    static constexpr const char* kConnect = ";PWD=secret1";

    RecordSetTestDatabase();

    Database& db() { return m_db; }
    std::string path() const { return m_folder.file("KORAPA.MDB"); }
    void addCompany(const std::string& file, const std::string& sequence, const std::string& name,
                    const Value& county, const std::string& expire, double mod);

private:
    TempFolder m_folder;
    Database m_db;
};

} // namespace kora::test
