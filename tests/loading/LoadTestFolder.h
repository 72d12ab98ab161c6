#pragma once

#include "FixedRecord.h"
#include "RecordedProgress.h"

#include "database/Database.h"
#include "loading/DataLoader.h"
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
    // A loader of this folder's state reporting to progress.
    DataLoader loader() { return DataLoader(m_db, path(), m_state, progress); }
    // The first column of the first row of a query; no row gives no value.
    Value value(const std::string& sql);
    // Every row of a query, its columns joined by '|', a null shown as "-".
    std::vector<std::string> rows(const std::string& sql);
    long long count(const std::string& table);

    RecordedProgress progress;

private:
    TempFolder m_folder;
    std::string m_state;
    Database m_db;
};

} // namespace kora::test
