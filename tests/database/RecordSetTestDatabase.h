#pragma once

#include "support/StateDatabase.h"

namespace kora::test {

// A PA state database holding four companies, two of them sharing a file number.
class RecordSetTestDatabase : public StateDatabase
{
public:
    explicit RecordSetTestDatabase(Engine engine = Engine::File);

    void addCompany(const std::string& file, const std::string& sequence, const std::string& name,
                    const Value& county, const std::string& expire, double mod);
    long long companies() { return value("SELECT COUNT(*) FROM PRIME").toInteger(); }
};

} // namespace kora::test
