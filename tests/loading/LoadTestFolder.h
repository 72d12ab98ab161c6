#pragma once

#include "FixedRecord.h"

#include "database/Database.h"
#include "support/TempFolder.h"

#include <string>
#include <string_view>
#include <vector>

namespace kora::test {

// A program folder holding one empty state database, for loading update files into.
class LoadTestFolder
{
public:
    explicit LoadTestFolder(const std::string& state);

    Database& db() { return m_db; }
    const std::string& path() const { return m_folder.path(); }
    bool exists(const std::string& name) const;
    void write(const std::string& name, const std::vector<FixedRecord>& records,
               std::string_view tail = {});
    // The first column of the first row of a query; no row gives no value.
    Value value(const std::string& sql);
    long long count(const std::string& table);

private:
    TempFolder m_folder;
    Database m_db;
};

} // namespace kora::test
