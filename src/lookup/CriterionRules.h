#pragma once

#include "lookup/SQLPARAMETER.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kora {

// The rules the lookup editor applies to one criterion: which fields have a
// pick list and how it is read, what to type, when a range is refused, and the
// criterion Accept adds.
class CriterionRules
{
public:
    // The most criteria a lookup may hold: the database engine refuses the
    // statement of some lookups with a few hundred more.
    static constexpr size_t kMostCriteria = 200;

    // The table behind the pick list of a coded field, its code and
    // description columns and their headers.
    struct PickList
    {
        const char* table;
        const char* code;
        const char* description;
        const char* codeHeader;
        const char* descriptionHeader;
    };

    // What Accept makes of a typed range: the criterion, or the message that
    // refuses it.
    struct Accepted
    {
        std::optional<SQLPARAMETER> criterion;
        std::string message;
    };

    // The table of County to Merit Class; null for the other fields.
    static const PickList* pickList(int position);
    // The statement that fills a pick list, sorted by code (column 0) or
    // description (1); the merit list keeps the order of its table.
    static std::string pickListQuery(int position, int sortColumn);
    // What to type for a field, shown under the range boxes.
    static std::string hint(int position);
    // The message of a field the state database cannot search; empty when it can.
    static std::string unavailableMessage(int position, const std::string& state);
    // A SIC code ending in 00 stands for its whole group: 1500 gives 1599.
    static std::string sicGroupEnd(const std::string& code);
    // A zip From shorter than five digits, filled with leading zeros; an empty
    // From stays empty, as zeros alone would become a range of their own.
    static std::string paddedZip(const std::string& from);
    // The message refusing a range of the field's form that can never match:
    // nothing typed, a month or day that does not exist, or a From above its
    // Thru where the range does not wrap (the expiration date alone runs over
    // the year end). Empty when the range can match. Thru is as stored, that
    // is already defaulted to From.
    static std::string impossibleRangeMessage(int position, const std::string& from,
                                              const std::string& thru);
    // The message refusing values that are not of the field's form or lie
    // outside its limits; empty when they can go into a statement.
    static std::string valueMessage(int position, const std::string& from, const std::string& thru);
    // "New Company", "New Mod" and "Any Change", the values of Changed in Last Update.
    static const std::vector<std::string>& changeKinds();
    static bool isChangeKind(const std::string& text);
    // Checks a typed range of a field against the criteria already chosen. A
    // value alone is a range from and through itself. A criterion edited
    // again (its row given) is checked against the others only.
    static Accepted accept(int position, const std::string& state, const std::string& from,
                           const std::string& thru, bool exclude,
                           const std::vector<SQLPARAMETER>& criteria, int editedRow = -1);
};

} // namespace kora
