#pragma once

#include "database/Database.h"

#include <functional>
#include <string>
#include <vector>

namespace kora {

// Reads the rows of a batch of companies with one statement, where reading
// them one company at a time would cost a server a round trip each. The
// statement selects the rows of the batch's files; each row goes to the
// companies whose file and sequence it carries, matched by their rowKey, which
// folds case as the engines compare text.
class CompanyBatch
{
public:
    // The companies of one batch at most.
    static constexpr size_t kCompanies = 200;

    struct Company
    {
        Value file;
        Value sequence;
    };

    // select: "SELECT" with the file and sequence as its first two columns, up
    // to its FROM and joins; fileColumn: where the batch's files are sought;
    // order: the ORDER BY terms, which order each company's rows. Led by the
    // file and sequence, they let the engine take the rows in its index's
    // order and sort each company's rows alone.
    CompanyBatch(Database& db, const std::string& select, const std::string& fileColumn,
                 const std::string& order);

    // Calls take(place, row) for every row of the companies, in the statement's
    // order, place being the company's place in companies (at most kCompanies).
    // The row's columns from 2 on are the caller's.
    void read(const std::vector<Company>& companies,
              const std::function<void(size_t, const Statement&)>& take);

private:
    Statement m_query;
};

} // namespace kora
