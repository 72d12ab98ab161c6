#pragma once

#include "RecordedProgress.h"

#include "database/Schema.h"
#include "loading/DataLoader.h"
#include "support/StateDatabase.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace kora::test {

using Rows = std::vector<std::string>;

// A fixed-length update record: blanks with texts put at positions counted from 1.
struct FixedRecord
{
    explicit FixedRecord(size_t length) : text(length, ' ') {}

    FixedRecord& put(int position, std::string_view part)
    {
        text.replace(static_cast<size_t>(position - 1), part.size(), part);
        return *this;
    }
    // Fills mod slot 0-4 of a company record from "issue|effective|expire|mod":
    // three six-digit dates and the mod in thousandths.
    FixedRecord& mod(int slot, std::string fields)
    {
        std::erase(fields, '|');
        return put(195 + 22 * slot, fields);
    }

    std::string text;
};

// A standard company record, sequence 01.
inline FixedRecord company(const std::string& file, const std::string& name,
                           const std::string& state = "PA")
{
    return FixedRecord(502).put(1, state).put(3, file).put(14, "01").put(28, name);
}

inline std::string bytesOf(const std::vector<FixedRecord>& records)
{
    std::string bytes;
    for (const FixedRecord& record : records)
        bytes += record.text;
    return bytes;
}

// A program folder holding one empty state database, for loading update files into.
class LoadTestFolder
{
public:
    explicit LoadTestFolder(const std::string& state) : m_state(state)
    {
        const std::string database = m_folder.file("KORA" + state + ".MDB");
        Schema::createStateDatabase(database, ";PWD=load", state);
        m_db.open(database, ";PWD=load");
    }

    Database& db() { return m_db; }
    const std::string& path() const { return m_folder.path(); }
    bool exists(const std::string& name) const
    {
        return std::filesystem::exists(m_folder.file(name));
    }
    void write(const std::string& name, const std::vector<FixedRecord>& records,
               std::string_view tail = {})
    {
        std::ofstream(m_folder.file(name), std::ios::binary | std::ios::trunc)
            << bytesOf(records) << tail;
    }
    // A loader of this folder's state reporting to progress.
    DataLoader loader() { return DataLoader(m_db, path(), m_state, progress); }
    // Writes the state's company file and loads it.
    void loadCompanies(const std::vector<FixedRecord>& records)
    {
        write("DATA" + m_state + ".DAT", records);
        loader().loadCompanies();
    }
    // The first column of the first row of a query; no row gives no value.
    Value value(const std::string& sql)
    {
        Statement query = m_db.prepare(sql);
        return query.step() ? query.column(0) : Value();
    }
    Rows rows(const std::string& sql) { return queryRows(m_db, sql); }
    long long count(const std::string& table)
    {
        return value("SELECT COUNT(*) FROM " + table).toInteger();
    }

    RecordedProgress progress;

private:
    TempFolder m_folder;
    std::string m_state;
    Database m_db;
};

} // namespace kora::test
