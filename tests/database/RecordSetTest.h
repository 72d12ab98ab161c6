#pragma once

#include "database/QueryRecordSet.h"
#include "support/StateDatabase.h"

#include <gtest/gtest.h>

#include <memory>

namespace kora::test {

// A PA state database holding four companies, two of them sharing a file
// number, on the engine the test runs on.
class RecordSetTest : public EngineTest<>
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        add("1000001", "01", "SMITH TOOL CO", "Allegheny", "2024-12-31", 0.95);
        add("1000002", "01", "acme widgets", "Bucks", "2025-06-30", 1.25);
        add("1000002", "02", "Zenith Labs", "allegheny", "2023-01-15", 9.886);
        add("1000003", "01", "MILLER & SONS", Value(), "2025-12-01", 0.7);
    }

    void add(const std::string& file, const std::string& sequence, const std::string& name,
             const Value& county = Value(), const std::string& expire = "2026-01-01",
             double mod = 1.0)
    {
        db().prepare("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, NameSort, COUNTYNAME, "
                     "CountySort, EXPIRE, MOD) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
            .bindAll({file, sequence, file + sequence, name, name, county, county, expire, mod})
            .run();
    }

    StateDatabase& state() { return data(); }
    long long companies() { return data().value("SELECT COUNT(*) FROM PRIME").toInteger(); }
    long long count(const std::string& sql) { return QueryRecordSet(db(), sql).recordCount(); }
};

} // namespace kora::test
