#pragma once

#include "database/Database.h"
#include "loading/CodeTable.h"
#include "loading/UpdateFile.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace kora {

class LoadChanges;
class ModTrendWriter;

// Stores the records of a company file as PRIME and MODS rows, telling the
// load's change record and mod trends of every company and mod it stores. A
// company met again in the file changes its earlier row field by field.
// Turning a record into its rows (convert) may run on another thread than
// writing them (write), one record after the other.
class CompanyWriter
{
public:
    // The rows of one company record: its PRIME row and a MODS row per mod.
    struct Rows
    {
        std::vector<Value> company;
        std::array<std::vector<Value>, CompanyRecord::kSlotCount> mods;
        int modCount = 0;
    };

    CompanyWriter(Database& db, LoadChanges& changes, ModTrendWriter& trend, bool newYork,
                  bool newJersey);

    // Fills rows from the file's current record; false when it holds no company.
    bool convert(const UpdateFile& file, Rows& rows) const;
    void write(const Rows& rows);
    // Writes what is left of the PRIME and MODS rows; before anything reads them.
    void finish();

    // The PRIME columns a company load writes, in the order it binds them.
    static std::vector<std::string> primeFieldNames();

private:
    // Fills a MODS row per filled slot and sets the company's EXPIRE and MOD
    // (first latest expiration) and, outside New York, ISSUE1 (latest issue year).
    void convertMods(const UpdateFile& file, Rows& rows) const;

    LoadChanges& m_changes;
    ModTrendWriter& m_trend;
    bool m_newYork;
    bool m_newJersey;
    CodeTable m_counties;
    std::unique_ptr<RowWriter> m_companies;
    std::unique_ptr<RowWriter> m_mods;
};

} // namespace kora
