#pragma once

#include "database/Database.h"
#include "output/CompanyMods.h"
#include "output/ExportChoice.h"
#include "output/ExportCompany.h"
#include "output/SourceRow.h"

#include <string>

namespace kora {

// Gathers the export values of companies from their rows, with their mods and
// classes read from the state database.
class ExportCompanyReader
{
public:
    ExportCompanyReader(Database& stateDb, const ExportChoice& choice, bool newJersey);

    // row: a PRIME row of the state database, or of the scratch database (whose
    // ZIP already holds the extension and whose user overrides are applied).
    ExportCompany read(const SourceRow& row, bool zipJoined);

private:
    void readClasses(const Value& file, const Value& sequence, ExportCompany& company);
    static std::string bandText(Statement& bands, const std::string& code);

    ExportChoice m_choice;
    bool m_newJersey;
    CompanyMods m_mods;
    Statement m_classes;
    Statement m_employeeBands;
    Statement m_salesBands;
    Statement m_followUp;
};

} // namespace kora
