#pragma once

#include "database/Database.h"
#include "lookup/SQLPARAMETER.h"
#include "support/TempFolder.h"

#include <string>
#include <vector>

namespace kora::test {

// A state database of a few companies and a workspace, to run lookups on.
class LookupTestDatabase
{
public:
    struct Company
    {
        std::string file;
        std::string name;
        std::string zip;
        std::string county;
        Value expire;
        Value mod;
        std::vector<std::string> classes;
        Value njar = Value();
    };

    explicit LookupTestDatabase(const std::string& state);

    Database& db() { return m_db; }
    void addCompany(const Company& company);

    // The names of the companies a lookup selects, in the order of a result grid column.
    std::vector<std::string> select(const std::vector<SQLPARAMETER>& criteria, int column = 2);
    // The same names joined by "|".
    std::string names(const std::vector<SQLPARAMETER>& criteria, int column = 2);

private:
    std::string m_state;
    TempFolder m_folder;
    Database m_db;
};

} // namespace kora::test
