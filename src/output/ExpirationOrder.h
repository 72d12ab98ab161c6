#pragma once

#include "database/Database.h"
#include "output/ExportProgress.h"

#include <string>

namespace kora {

// The scratch pass of the expiration sort: the companies of a query are copied
// into the scratch PRIME table with the month and day of their newest mod's
// expiration (1111 for a company without mods), user overrides applied and the
// zip extension joined, so that the export reads them back in that order.
class ExpirationOrder
{
public:
    // The statement that reads the scratch rows back, December 31 first.
    static constexpr const char* kOrderedRows = "SELECT * FROM PRIME ORDER BY EXPIRE DESC";

    // Copies every row of the query; returns the number copied.
    static long long fill(Database& stateDb, const std::string& query, Database& scratch,
                          bool newJersey, ExportProgress& progress);
};

} // namespace kora
