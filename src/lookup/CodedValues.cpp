#include "lookup/CodedValues.h"

#include "base/Blanks.h"
#include "database/Database.h"
#include "database/DbError.h"
#include "lookup/CriterionRules.h"
#include "lookup/FieldCatalogue.h"

#include <algorithm>
#include <cctype>

namespace kora {

namespace {

using Field = FieldCatalogue::Position;

bool sameIgnoringCase(std::string_view left, std::string_view right)
{
    return std::equal(
        left.begin(), left.end(), right.begin(), right.end(),
        [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

// A server names its columns in lower case.
int columnIndex(const Statement& query, const std::string& field)
{
    for (int column = 0; column < query.columnCount(); ++column)
        if (sameIgnoringCase(query.columnName(column), field))
            return column;
    throw DbError("The table has no column " + field + ".");
}

} // namespace

bool CodedValues::isCoded(int position)
{
    return position == Field::Employees || position == Field::Sales ||
           position == Field::MeritClass || position == Field::LastUpdate;
}

std::vector<CodedValues::Code> CodedValues::read(Database& db, int position)
{
    std::vector<Code> codes;
    if (position == Field::LastUpdate) {
        for (const std::string& kind : CriterionRules::changeKinds())
            codes.push_back({kind, kind});
        return codes;
    }
    if (!isCoded(position))
        return codes;
    const CriterionRules::PickList* table = CriterionRules::pickList(position);
    Statement query = db.prepare(CriterionRules::pickListQuery(position, 0));
    const int code = columnIndex(query, table->code);
    const int description = columnIndex(query, table->description);
    while (query.step()) {
        const std::string text(query.text(description));
        // A merit class is searched by its word, which the query builder maps.
        if (position == Field::MeritClass)
            codes.push_back({text, text});
        else
            codes.push_back(
                {std::string(query.text(code)), std::string(query.text(code)) + " (" + text + ")"});
    }
    return codes;
}

std::string CodedValues::proper(const std::vector<Code>& codes, const std::string& typed)
{
    const std::string_view trimmed = trimBlanks(typed);
    for (const Code& code : codes)
        if (sameIgnoringCase(code.code, trimmed))
            return code.code;
    return typed;
}

} // namespace kora
