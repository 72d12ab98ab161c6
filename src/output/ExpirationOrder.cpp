#include "output/ExpirationOrder.h"

#include "base/Dates.h"
#include "base/ExclamationTest.h"
#include "base/StateRules.h"
#include "database/Transaction.h"
#include "output/CompanyMods.h"
#include "output/ExportText.h"
#include "output/SourceRow.h"

#include <algorithm>
#include <vector>

namespace kora {

namespace {

constexpr int kWithoutMods = 1111;

// A field as text, so that a number lands in a text column in its short form.
Value asText(const Value& value)
{
    return value.isNull() ? value : Value(value.toString());
}

// The user's own value of a delivered field when it passes the exclamation
// test, else the delivered value; fields without a user's own pass through.
Value overridden(const SourceRow& row, const std::string& column)
{
    for (const UserOverride& field : kUserOverrides)
        if (column == field.delivered) {
            const Value own = row.field(field.user);
            return passesExclamationTest(own.toString()) ? own : row.field(column);
        }
    return row.field(column);
}

} // namespace

long long ExpirationOrder::fill(Database& stateDb, const std::string& query, Database& scratch,
                                bool newJersey, ExportSort sort, ExportProgress& progress)
{
    std::vector<std::string> columns = {
        "FILE",  "SEQUENCE", "NAME1", "NAME2",  "STREET",    "CITY",  "ZIP",        "PHONE",
        "FAX",   "AREA",     "SIC",   "COUNTY", "EMPLOYEES", "SALES", "COUNTYNAME", "CONTACT",
        "TITLE", "ST",       "User1", "User2",  "User3",     "Omit",  "EXPIRE"};
    if (newJersey)
        for (const char* field : StateRules::kAssignedRiskFields)
            columns.push_back(field);
    std::string names;
    std::string marks;
    for (const std::string& column : columns) {
        names += (names.empty() ? "" : ", ") + column;
        marks += marks.empty() ? "?" : ", ?";
    }
    Statement insert = scratch.prepare("INSERT INTO PRIME (" + names + ") VALUES (" + marks + ")");
    CompanyMods mods(stateDb);
    Statement rows = stateDb.prepare(query);
    const SourceRow row(rows);
    Transaction transaction(scratch);
    // The renewal order puts a company without mods last, not at November 11.
    const bool withoutModsLast = sort == ExportSort::Renewal;
    const size_t expireAt =
        static_cast<size_t>(std::find(columns.begin(), columns.end(), "EXPIRE") - columns.begin());
    // Rows wait for their latest mod, which is read for a batch of companies at once.
    std::vector<std::vector<Value>> batch;
    std::vector<CompanyBatch::Company> companies;
    const auto insertBatch = [&] {
        const auto newest = mods.newestFirst(companies, 1);
        for (size_t place = 0; place < batch.size(); ++place) {
            Value& expire = batch[place][expireAt];
            if (!newest[place].empty())
                expire = Value(ExportText::monthDay(newest[place][0].expire));
            else if (!withoutModsLast)
                expire = Value(kWithoutMods);
            insert.reset();
            insert.bindAll(batch[place]).run();
        }
        batch.clear();
        companies.clear();
    };
    long long count = 0;
    while (rows.step()) {
        progress.counted(++count);
        std::string zip = row.text("ZIP");
        const std::string extension = row.text("ZIPEXT");
        if (passesExclamationTest(extension))
            zip += "-" + extension;
        std::vector<Value> values;
        values.reserve(columns.size());
        for (const std::string& column : columns) {
            if (column == "EXPIRE")
                values.emplace_back();
            else if (column == "ZIP")
                values.emplace_back(zip);
            else
                values.push_back(asText(overridden(row, column)));
        }
        batch.push_back(std::move(values));
        companies.push_back({row.field("FILE"), row.field("SEQUENCE")});
        if (batch.size() == CompanyBatch::kCompanies)
            insertBatch();
    }
    insertBatch();
    transaction.commit();
    return count;
}

std::string ExpirationOrder::orderedRows(ExportSort sort)
{
    return "SELECT * FROM PRIME ORDER BY " +
           (sort == ExportSort::Renewal ? renewalTerms("EXPIRE") : std::string("EXPIRE DESC")) +
           ", rowid";
}

std::string ExpirationOrder::renewalTerms(const std::string& column)
{
    const std::string today = std::to_string(ExportText::monthDay(Dates::today()));
    return column + " IS NULL, " + column + " < " + today + ", " + column;
}

} // namespace kora
