#include "lookup/LookupTestDatabase.h"

#include "database/QueryRecordSet.h"
#include "loading/ModTrendWriter.h"
#include "lookup/LookupFile.h"
#include "lookup/LookupSearch.h"

#include <stdexcept>

namespace kora::test {

void LookupTestDatabase::addCompany(const Company& company)
{
    const std::string sequence = "01";
    db().prepare("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, NameSort, ZIP, COUNTY, "
                 "EXPIRE, MOD) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
        .bindAll({company.file, sequence, company.file + sequence, company.name, company.name,
                  company.zip, company.county, company.expire, company.mod})
        .run();
    for (const std::string& code : company.classes)
        db().prepare("INSERT INTO CLASS (FILE, SEQUENCE, FILESEQ, CLASS) VALUES (?, ?, ?, ?)")
            .bindAll({company.file, sequence, company.file + sequence, code})
            .run();
}

std::vector<std::string> LookupTestDatabase::select(const std::vector<SQLPARAMETER>& criteria,
                                                    int column)
{
    // The companies are written here row by row, not by a company load that
    // would keep their mod trends.
    ModTrendWriter::fill(db());
    const std::string path = folder().file("UNTITLED.KRD");
    LookupFile::write(path, "UNTITLED", criteria);
    LookupSearch search(m_state);
    if (!search.SetUpSQL(path, false).ready)
        throw std::runtime_error("lookup refused");
    search.sortBy(static_cast<kora::GridColumn>(column));

    std::vector<std::string> names;
    QueryRecordSet rows(db(), search.recordSource());
    for (; !rows.eof(); rows.moveNext())
        names.push_back(rows.field("NAME1").toString());
    if (search.recordCount(db()) != static_cast<long long>(names.size()))
        throw std::runtime_error("count differs from rows");
    return names;
}

std::string LookupTestDatabase::names(const std::vector<SQLPARAMETER>& criteria, int column)
{
    std::string joined;
    for (const std::string& name : select(criteria, column))
        joined += (joined.empty() ? "" : "|") + name;
    return joined;
}

} // namespace kora::test
