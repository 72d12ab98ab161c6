#pragma once

#include "lookup/SQLPARAMETER.h"
#include "support/StateDatabase.h"

#include <string>
#include <vector>

namespace kora::test {

// A state database of a few companies and a workspace, to run lookups on.
class LookupTestDatabase : public StateDatabase
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
    };

    explicit LookupTestDatabase(const std::string& state) : StateDatabase(state), m_state(state) {}

    void addCompany(const Company& company);

    // The names of the companies a lookup selects, in the order of a result grid column.
    std::vector<std::string> select(const std::vector<SQLPARAMETER>& criteria, int column = 2);
    // The same names joined by "|".
    std::string names(const std::vector<SQLPARAMETER>& criteria, int column = 2);

private:
    std::string m_state;
};

} // namespace kora::test
