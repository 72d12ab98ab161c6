#pragma once

#include "database/Database.h"
#include "database/LoadProgress.h"
#include "support/TempFolder.h"

#include <string>
#include <string_view>
#include <vector>

namespace kora::test {

// A fixed-length update record: blanks with texts put at positions counted from 1.
class FixedRecord
{
public:
    explicit FixedRecord(size_t length) : m_text(length, ' ') {}

    FixedRecord& put(int position, std::string_view text)
    {
        m_text.replace(static_cast<size_t>(position - 1), text.size(), text);
        return *this;
    }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// Keeps the status texts a load shows.
class RecordedProgress : public LoadProgress
{
public:
    void status(const std::string& text) override { texts.push_back(text); }

    std::vector<std::string> texts;
};

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
