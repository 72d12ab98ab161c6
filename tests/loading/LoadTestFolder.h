#pragma once

#include "RecordedProgress.h"

#include "loading/DataLoader.h"
#include "support/StateDatabase.h"

#include <filesystem>
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
class LoadTestFolder : public StateDatabase
{
public:
    explicit LoadTestFolder(const std::string& state, Engine engine = Engine::File)
        : StateDatabase(state, engine), m_state(state)
    {
    }

    // The folder, not the database in it.
    const std::string& path() const { return folder().path(); }
    bool exists(const std::string& name) const
    {
        return std::filesystem::exists(folder().file(name));
    }
    void write(const std::string& name, const std::vector<FixedRecord>& records,
               std::string_view tail = {})
    {
        writeFile(folder().file(name), bytesOf(records) + std::string(tail));
    }
    // A loader of this folder's state reporting to progress.
    DataLoader loader() { return DataLoader(db(), path(), m_state, progress); }
    // Writes the state's company file and loads it.
    void loadCompanies(const std::vector<FixedRecord>& records)
    {
        write("DATA" + m_state + ".DAT", records);
        loader().loadCompanies();
    }
    Rows rows(const std::string& sql) { return queryRows(db(), sql); }
    long long count(const std::string& table)
    {
        return value("SELECT COUNT(*) FROM " + table).toInteger();
    }

    RecordedProgress progress;

private:
    std::string m_state;
};

} // namespace kora::test
