#pragma once

#include "output/ExportChoice.h"
#include "output/ExportCompany.h"

#include <string>
#include <vector>

namespace kora {

// The lines of the text layouts, each ended by CR LF.
class ExportLine
{
public:
    // The column names of the delimited layouts and the workbook.
    static std::vector<std::string> headerNames(const ExportChoice& choice, bool newJersey);

    // The values of a delimited line in column order, trimmed where the layout trims.
    static std::vector<std::string> delimitedValues(const ExportCompany& company,
                                                    const ExportChoice& choice);

    // Each value in double quotes (a quote inside is written as it is), joined by
    // the separator of the layout: quote-comma-quote, or quote-tab-quote.
    static std::string delimited(const std::vector<std::string>& values, ExportLayout layout);

    // The fixed-width line: every column padded with blanks to its width, a
    // longer value cut to it.
    static std::string fixed(const ExportCompany& company);
};

} // namespace kora
