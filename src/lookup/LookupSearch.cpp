#include "lookup/LookupSearch.h"

#include "base/StateRules.h"
#include "database/Database.h"
#include "lookup/LookupReader.h"
#include "lookup/LookupValueError.h"
#include "lookup/QueryBuilder.h"

#include <algorithm>

namespace kora {

namespace {

const char* const kVerificationTitle = "Parameter Verification";

} // namespace

LookupSearch::LookupSearch(std::string state) : m_state(std::move(state)) {}

LookupMessage LookupSearch::newJerseyOnlyMessage()
{
    return {"This lookup contains a field that can only be used with the state of NJ!",
            kVerificationTitle, LookupMessage::Icon::Exclamation};
}

LookupSearch::SetUp LookupSearch::refuse(const LookupMessage& message)
{
    m_criteria.clear();
    m_curSql.clear();
    m_source = {};
    return {false, {message}};
}

LookupSearch::SetUp LookupSearch::SetUpSQL(const std::string& lookupPath, bool copySqlToClipboard)
{
    auto [criteria, refusal] = LookupReader::read(lookupPath);
    if (refusal)
        return refuse(*refusal);
    const bool newJerseyOnly =
        std::any_of(criteria.begin(), criteria.end(),
                    [](const SQLPARAMETER& criterion) { return criterion.SQLEXPR == "NJARONLY"; });
    if (newJerseyOnly && !StateRules::hasAssignedRisk(m_state))
        return refuse(newJerseyOnlyMessage());

    std::string condition;
    LookupStatement source;
    try {
        condition = QueryBuilder::condition(criteria);
        const std::string perCompany =
            QueryBuilder::condition(criteria, QueryBuilder::ClassTest::PerCompany);
        source = {"*", QueryBuilder::runCondition(criteria), "",
                  perCompany == condition ? "" : perCompany};
    } catch (const LookupValueError& error) {
        return refuse({error.what(), kVerificationTitle, LookupMessage::Icon::Exclamation});
    }

    SetUp setUp{true, {}};
    m_criteria = std::move(criteria);
    // The statement shown is the lookup's own; the rows are read by the
    // quickest statement that selects the same companies.
    m_curSql = QueryBuilder::statement(condition);
    m_source = std::move(source);
    if (condition.empty())
        setUp.messages.push_back({"ALL RECORDS SELECTED", "", LookupMessage::Icon::None});
    if (copySqlToClipboard)
        setUp.messages.push_back({m_curSql, "", LookupMessage::Icon::None});
    return setUp;
}

bool LookupSearch::sortBy(GridColumn column)
{
    if (column == GridColumn::Effective || m_curSql.empty())
        return false;
    const std::string order = QueryBuilder::orderBy(column);
    if (!order.empty())
        m_source.orderBy = order;
    return true;
}

long long LookupSearch::recordCount(Database& db) const
{
    if (m_curSql.empty())
        return 0;
    Statement count = db.prepare(LookupStatement{"COUNT(*)", m_source.condition, ""}.text());
    return count.step() ? count.column(0).toInteger() : 0;
}

} // namespace kora
