#pragma once

#include "database/Database.h"
#include "output/ExportChoice.h"
#include "output/ExportProgress.h"

#include <string>

namespace kora {

// The scratch pass of the expiration sorts: the companies of a query are copied
// into the scratch PRIME table with the month and day of their newest mod's
// expiration, user overrides applied and the zip extension joined, so that the
// export reads them back in the order chosen.
class ExpirationOrder
{
public:
    // Copies every row of the query; returns the number copied. A company
    // without mods gets 1111 for the calendar order and no value for the
    // renewal order.
    static long long fill(Database& stateDb, const std::string& query, Database& scratch,
                          bool newJersey, ExportSort sort, ExportProgress& progress);

    // The statement that reads the scratch rows back: the calendar order puts
    // December 31 first; the renewal order starts at today's month and day.
    // Ties keep the order the rows were copied in.
    static std::string orderedRows(ExportSort sort);

    // The ORDER BY terms of the renewal order over a month-and-day column
    // (1231): those from today's month and day on first, then those before
    // it, each ascending; rows without a value last.
    static std::string renewalTerms(const std::string& column);
};

} // namespace kora
