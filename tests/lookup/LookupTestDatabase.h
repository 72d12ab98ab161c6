#pragma once

#include "database/QueryRecordSet.h"
#include "loading/ModTrendWriter.h"
#include "lookup/LookupFile.h"
#include "lookup/LookupSearch.h"
#include "support/StateDatabase.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace kora::test {

// A state database of a few companies and a workspace, to run lookups on.
class LookupTestDatabase : public StateDatabase
{
public:
    struct Company
    {
        std::string file;
        std::string name;
        std::string zip;
        std::string county;
        Value expire;
        Value mod;
        std::vector<std::string> classes;
    };

    explicit LookupTestDatabase(const std::string& state, Engine engine = Engine::File)
        : StateDatabase(state, engine), m_state(state)
    {
    }

    void addCompany(const Company& company)
    {
        const std::string fileSeq = company.file + "01";
        db().prepare("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, NameSort, ZIP, COUNTY, "
                     "EXPIRE, MOD) VALUES (?, '01', ?, ?, ?, ?, ?, ?, ?)")
            .bindAll({company.file, fileSeq, company.name, company.name, company.zip,
                      company.county, company.expire, company.mod})
            .run();
        for (const std::string& code : company.classes)
            db().prepare(
                    "INSERT INTO CLASS (FILE, SEQUENCE, FILESEQ, CLASS) VALUES (?, '01', ?, ?)")
                .bindAll({company.file, fileSeq, code})
                .run();
    }

    // The names of the companies a lookup selects, in name order.
    std::vector<std::string> select(const std::vector<SQLPARAMETER>& criteria)
    {
        // The companies are written here row by row, not by a company load that
        // would keep their mod trends.
        ModTrendWriter::fill(db());
        const std::string path = folder().file("UNTITLED.KRD");
        LookupFile::write(path, "UNTITLED", criteria);
        LookupSearch search(m_state);
        if (!search.SetUpSQL(path, false).ready)
            throw std::runtime_error("lookup refused");
        search.sortBy(GridColumn::Name);
        std::vector<std::string> names;
        for (QueryRecordSet rows(db(), search.recordSource()); !rows.eof(); rows.moveNext())
            names.push_back(rows.field("NAME1").toString());
        if (search.recordCount(db()) != static_cast<long long>(names.size()))
            throw std::runtime_error("count differs from rows");
        return names;
    }

    // The same names joined by "|".
    std::string names(const std::vector<SQLPARAMETER>& criteria)
    {
        std::string joined;
        for (const std::string& name : select(criteria))
            joined += (joined.empty() ? "" : "|") + name;
        return joined;
    }

private:
    std::string m_state;
};

} // namespace kora::test
