#include "lookup/CodedValues.h"

#include "base/Blanks.h"
#include "base/FieldName.h"
#include "database/Database.h"
#include "database/DbError.h"
#include "lookup/CriterionRules.h"
#include "lookup/FieldCatalogue.h"

#include <algorithm>
#include <cctype>

namespace kora {

namespace {

using Field = FieldCatalogue::Position;

// A server names its columns in lower case.
int columnIndex(const Statement& query, const std::string& field)
{
    for (int column = 0; column < query.columnCount(); ++column)
        if (foldFieldName(query.columnName(column)) == foldFieldName(field))
            return column;
    throw DbError("The list has no column " + field + ".");
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
    for (auto& [code, description] : readTable(db, CriterionRules::pickListQuery(position, 0),
                                               table->code, table->description)) {
        // A merit class is searched by its word, which the query builder maps.
        if (position == Field::MeritClass)
            codes.push_back({description, description});
        else
            codes.push_back({code, code + " (" + description + ")"});
    }
    return codes;
}

std::vector<std::pair<std::string, std::string>>
CodedValues::readTable(Database& db, const std::string& sql, const std::string& codeField,
                       const std::string& descriptionField)
{
    std::vector<std::pair<std::string, std::string>> rows;
    Statement query = db.prepare(sql);
    const int code = columnIndex(query, codeField);
    const int description = columnIndex(query, descriptionField);
    while (query.step())
        rows.emplace_back(query.column(code).toString(), query.column(description).toString());
    return rows;
}

std::string CodedValues::proper(const std::vector<Code>& codes, const std::string& typed)
{
    const std::string_view trimmed = trimBlanks(typed);
    for (const Code& code : codes)
        if (std::equal(code.code.begin(), code.code.end(), trimmed.begin(), trimmed.end(),
                       [](unsigned char a, unsigned char b) {
                           return std::tolower(a) == std::tolower(b);
                       }))
            return code.code;
    return typed;
}

} // namespace kora
