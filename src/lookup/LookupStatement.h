#pragma once

#include "base/Quoting.h"

#include <string>

namespace kora {

// The statement of a lookup on PRIME, kept in its parts so that callers can
// choose other columns or another order without cutting text apart.
struct LookupStatement
{
    std::string selectList = "*";
    std::string condition; // empty: every company
    std::string orderBy;   // " ORDER BY ..." or empty
    // The same companies as condition with the class ranges tested company by
    // company (QueryBuilder::ClassTest::PerCompany), for a statement that
    // tests few companies; empty when it would be condition itself.
    std::string perCompanyCondition = {};

    const std::string& fewCompaniesCondition() const
    {
        return perCompanyCondition.empty() ? condition : perCompanyCondition;
    }

    // "SELECT " list " FROM PRIME", with " WHERE " and the condition when there
    // is one, then the order.
    std::string text() const
    {
        std::string sql = "SELECT " + selectList + " FROM PRIME";
        if (!condition.empty())
            sql += " WHERE " + condition;
        return sql + orderBy;
    }

    // The one company of a file number and sequence.
    static LookupStatement oneCompany(const std::string& file, const std::string& sequence)
    {
        return {"*",
                "FILE = " + quotedWith(file, '\'') +
                    " AND SEQUENCE = " + quotedWith(sequence, '\''),
                ""};
    }

    // The same companies in the same order with other columns.
    LookupStatement selecting(std::string columns) const
    {
        LookupStatement other = *this;
        other.selectList = std::move(columns);
        return other;
    }
};

} // namespace kora
