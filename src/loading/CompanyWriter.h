#pragma once

#include "database/Database.h"
#include "loading/CodeTable.h"
#include "loading/UpdateFile.h"

#include <memory>
#include <string>
#include <vector>

namespace kora {

class LoadChanges;
class ModTrendWriter;

// Stores the records of a company file as PRIME and MODS rows, telling the
// load's change record and mod trends of every company and mod it stores. A
// company met again in the file changes its earlier row field by field.
class CompanyWriter
{
public:
    CompanyWriter(Database& db, LoadChanges& changes, ModTrendWriter& trend, bool newYork,
                  bool newJersey);

    void store(const UpdateFile& file);
    // Writes what is left of the PRIME and MODS rows; before anything reads them.
    void finish();

    // The PRIME columns a company load writes, in the order it binds them.
    static std::vector<std::string> primeFieldNames();

private:
    // Adds a MODS row per filled slot and binds the company's EXPIRE and MOD
    // (first latest expiration) and, outside New York, ISSUE1 (latest issue year).
    void storeMods(const UpdateFile& file, const std::string& fileNumber,
                   const std::string& sequence);

    LoadChanges& m_changes;
    ModTrendWriter& m_trend;
    bool m_newYork;
    bool m_newJersey;
    CodeTable m_counties;
    std::unique_ptr<RowWriter> m_companies;
    std::vector<Value> m_company; // the PRIME row being written
    std::unique_ptr<RowWriter> m_mods;
    std::vector<Value> m_mod; // the MODS row being written
};

} // namespace kora
