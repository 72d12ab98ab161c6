#pragma once

#include "output/CompanyBatch.h"

#include <string>
#include <vector>

namespace kora {

// The mods of a batch of companies, each company's newest first (latest
// effective date, then latest expiration, then latest issue).
class CompanyMods
{
public:
    // One mod, dates as stored (YYYY-MM-DD).
    struct Mod
    {
        std::string issue;
        std::string effective;
        std::string expire;
        Value mod;
    };

    explicit CompanyMods(Database& db);

    // At most limit mods of each company, in the companies' order; at most
    // CompanyBatch::kCompanies companies.
    std::vector<std::vector<Mod>> newestFirst(const std::vector<CompanyBatch::Company>& companies,
                                              size_t limit);

private:
    CompanyBatch m_batch;
};

} // namespace kora
