#pragma once

#include "loading/UpdateFile.h"

namespace kora {

// A company file read through once before its load changes anything: how
// many of its used records do not fit the record layout (a filled date that
// is not a date, a filled mod that is not a number) and how many companies it
// holds. A file of junk (one long line of text, binary data) has hardly a
// record that fits.
class CompanyFileCheck
{
public:
    // Reads the whole file and leaves it at its start again.
    CompanyFileCheck(UpdateFile& file, bool newYork);

    long long usedRecords() const { return m_used; }
    long long recordsOutOfLayout() const { return m_outOfLayout; }
    // The number of the first record that does not fit, counted from 1; 0 for none.
    long long firstOutOfLayout() const { return m_firstOutOfLayout; }
    // Companies by their key, without regard to case as the tables hold them.
    long long companies() const { return m_companies; }
    // More than half of the used records do not fit: not a company file.
    bool isJunk() const { return m_outOfLayout * 2 > m_used; }

private:
    bool fitsLayout(const UpdateFile& file) const;

    bool m_newYork;
    long long m_used = 0;
    long long m_outOfLayout = 0;
    long long m_firstOutOfLayout = 0;
    long long m_companies = 0;
};

} // namespace kora
