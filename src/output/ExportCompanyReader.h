#pragma once

#include "database/Database.h"
#include "output/CompanyBatch.h"
#include "output/CompanyMods.h"
#include "output/ExportChoice.h"
#include "output/ExportCompany.h"
#include "output/SourceRow.h"

#include <map>
#include <string>
#include <vector>

namespace kora {

// Gathers the export values of companies from their rows, a batch at a time:
// the mods, classes and follow-ups of a batch's companies are read from the
// state database together.
class ExportCompanyReader
{
public:
    ExportCompanyReader(Database& stateDb, const ExportChoice& choice, bool newJersey);

    // Adds the company of row to the batch. row: a PRIME row of the state
    // database, or of the scratch database (whose ZIP already holds the
    // extension and whose user overrides are applied).
    void add(const SourceRow& row, bool zipJoined);
    bool full() const { return m_companies.size() == CompanyBatch::kCompanies; }
    // The batch's companies in the order added, complete; the next batch starts empty.
    std::vector<ExportCompany> take();

private:
    void readClasses();
    void readFollowUps();
    static std::string bandText(Statement& bands, std::map<std::string, std::string>& known,
                                const std::string& code);

    ExportChoice m_choice;
    bool m_newJersey;
    CompanyMods m_mods;
    CompanyBatch m_classes;
    CompanyBatch m_followUps;
    Statement m_employeeBands;
    Statement m_salesBands;
    std::map<std::string, std::string> m_employeeTexts;
    std::map<std::string, std::string> m_salesTexts;
    std::vector<ExportCompany> m_companies;
    std::vector<CompanyBatch::Company> m_keys;
};

} // namespace kora
