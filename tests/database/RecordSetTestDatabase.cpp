#include "database/RecordSetTestDatabase.h"

namespace kora::test {

RecordSetTestDatabase::RecordSetTestDatabase(Engine engine) : StateDatabase("PA", engine)
{
    addCompany("1000001", "01", "SMITH TOOL CO", "Allegheny", "2024-12-31", 0.95);
    addCompany("1000002", "01", "acme widgets", "Bucks", "2025-06-30", 1.25);
    addCompany("1000002", "02", "Zenith Labs", "allegheny", "2023-01-15", 9.886);
    addCompany("1000003", "01", "MILLER & SONS", Value(), "2025-12-01", 0.7);
}

void RecordSetTestDatabase::addCompany(const std::string& file, const std::string& sequence,
                                       const std::string& name, const Value& county,
                                       const std::string& expire, double mod)
{
    db().prepare("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, NameSort, COUNTYNAME, "
                 "CountySort, EXPIRE, MOD) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
        .bindAll({file, sequence, file + sequence, name, name, county, county, expire, mod})
        .run();
}

} // namespace kora::test
