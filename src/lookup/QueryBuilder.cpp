#include "lookup/QueryBuilder.h"

#include "base/Dates.h"
#include "base/Quoting.h"
#include "database/Schema.h"

#include "lookup/LookupNumber.h"
#include "lookup/LookupStatement.h"
#include "lookup/LookupValueError.h"
#include "lookup/RenewalWindow.h"

#include <algorithm>
#include <optional>

namespace kora {

namespace {

const std::string& kMonthDay = Schema::expireMonthDay();

// The clauses of one build: the main list (joined by AND) and the groups of
// alternatives (joined by OR).
struct Clauses
{
    std::string main;
    std::string county;
    std::string zip;
    std::string area;
    std::string sic;
    std::string user1;
    std::string user2;
    std::string user3;
    std::string classIn;
    std::string classOut;
    // Ranges on the mod trends, read from MODTREND in one subquery.
    std::string trend;
};

// A field whose values are quoted texts; group is where included ranges go,
// nullptr for the main list.
struct TextField
{
    const char* code;
    const char* column;
    std::string Clauses::*group;
};

const TextField kTextFields[] = {
    {"NAME1", "NAME1", nullptr},
    {"ZIP", "ZIP", &Clauses::zip},
    {"COUNTY", "COUNTY", &Clauses::county},
    {"CLASS", "CLASS", &Clauses::classIn},
    {"SIC", "SIC", &Clauses::sic},
    {"AREA", "AREA", &Clauses::area},
    {"EMPLOYEES", "EMPLOYEES", nullptr},
    {"SALES", "SALES", nullptr},
    {"FILENUM", "FILE", nullptr},
    {"User1", "USER1", &Clauses::user1},
    {"User2", "USER2", &Clauses::user2},
    {"User3", "USER3", &Clauses::user3},
    {"ISSUE1", "ISSUE1", nullptr},
};

std::string quoted(const std::string& value)
{
    return quotedWith(value, '\'');
}

[[noreturn]] void refuseValue(const SQLPARAMETER& criterion, const std::string& value,
                              const char* what)
{
    throw LookupValueError("The " + criterion.SQLFIELD + " value \"" + value + "\" is not " + what +
                           ".");
}

double number(const SQLPARAMETER& criterion, const std::string& value)
{
    const std::optional<double> number = LookupNumber::withExponent(value);
    if (!number)
        refuseValue(criterion, value, "a number");
    return *number;
}

// A value of a number field, which goes into the statement as it stands.
const std::string& numberText(const SQLPARAMETER& criterion, const std::string& value)
{
    number(criterion, value);
    return value;
}

int days(const SQLPARAMETER& criterion, const std::string& value)
{
    const std::optional<int> days = LookupNumber::signedWhole(value);
    if (!days)
        refuseValue(criterion, value, "a number of days");
    return *days;
}

// The number at the start of a text, 0 when there is none.
long long leadingNumber(const std::string& text)
{
    long long value = 0;
    size_t i = text.find_first_not_of(' ');
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

void addExpiration(Clauses& clauses, const SQLPARAMETER& criterion)
{
    const std::string& from = criterion.SQLFROM;
    const std::string& thru = criterion.SQLTHRU;
    // Month-and-day numbers: "915" is before "1231" although it sorts after it as text.
    if (number(criterion, from) <= number(criterion, thru)) {
        clauses.main += kMonthDay + (criterion.SQLEXCLUDE ? " NOT BETWEEN " : " BETWEEN ") + from +
                        " AND " + thru + " AND ";
    } else if (!criterion.SQLEXCLUDE) {
        clauses.main += "(" + kMonthDay + " BETWEEN " + from + " AND 1231 OR " + kMonthDay +
                        " BETWEEN 0101 AND " + thru + ") AND ";
    } else {
        clauses.main += kMonthDay + " NOT BETWEEN " + from + " AND 1231 AND " + kMonthDay +
                        " NOT BETWEEN 0101 AND " + thru + " AND ";
    }
}

std::string monthDayText(int monthDay)
{
    const std::string digits = std::to_string(monthDay);
    return std::string(4 - digits.size(), '0') + digits;
}

// The expiration month-days from today + From through today + Thru days.
std::string renewalClause(const SQLPARAMETER& criterion)
{
    const auto ranges = RenewalWindow::monthDayRanges(
        Dates::today(), days(criterion, criterion.SQLFROM), days(criterion, criterion.SQLTHRU));
    if (ranges.empty())
        return criterion.SQLEXCLUDE ? "EXPIRE IS NOT NULL" : "1 = 0";
    std::string clause;
    for (const auto& [first, last] : ranges) {
        if (!clause.empty())
            clause += criterion.SQLEXCLUDE ? " AND " : " OR ";
        clause += kMonthDay + (criterion.SQLEXCLUDE ? " NOT BETWEEN " : " BETWEEN ") +
                  monthDayText(first) + " AND " + monthDayText(last);
    }
    return ranges.size() > 1 ? "(" + clause + ")" : clause;
}

std::string lastUpdateClause(const SQLPARAMETER& criterion)
{
    std::string kind;
    if (criterion.SQLFROM != "Any Change")
        kind = " AND L.CHANGE = " + quotedWith(criterion.SQLFROM, '\'');
    return std::string(criterion.SQLEXCLUDE ? "NOT " : "") +
           "EXISTS (SELECT 1 FROM LOADCHANGES AS L WHERE L.FILE = PRIME.FILE AND L.SEQUENCE = "
           "PRIME.SEQUENCE" +
           kind + ")";
}

// The companies with a follow-up due from today + From through today + Thru days.
std::string followUpClause(const SQLPARAMETER& criterion)
{
    const std::string today = Dates::today();
    return std::string(criterion.SQLEXCLUDE ? "NOT " : "") +
           "EXISTS (SELECT 1 FROM FOLLOWUP AS F WHERE F.FILE = PRIME.FILE AND F.SEQUENCE = "
           "PRIME.SEQUENCE AND F.DUE BETWEEN " +
           quoted(Dates::addDays(today, days(criterion, criterion.SQLFROM))) + " AND " +
           quoted(Dates::addDays(today, days(criterion, criterion.SQLTHRU))) + ")";
}

// The clause of a prospecting field; empty for every other code.
std::string prospectingClause(const SQLPARAMETER& criterion)
{
    const std::string& code = criterion.SQLEXPR;
    if (code == "RENEWDAYS")
        return renewalClause(criterion);
    if (code == "LASTUPDATE")
        return lastUpdateClause(criterion);
    if (code == "FOLLOWUP")
        return followUpClause(criterion);
    return {};
}

void addTextRange(Clauses& clauses, const TextField& field, const SQLPARAMETER& criterion)
{
    const std::string values = quoted(criterion.SQLFROM) + " AND " + quoted(criterion.SQLTHRU);
    const std::string column = field.column;
    if (!criterion.SQLEXCLUDE && field.group)
        clauses.*field.group += column + " BETWEEN " + values + " OR ";
    else if (field.group == &Clauses::classIn)
        clauses.classOut += column + " BETWEEN " + values + " OR ";
    else
        clauses.main +=
            column + (criterion.SQLEXCLUDE ? " NOT BETWEEN " : " BETWEEN ") + values + " AND ";
}

void addClause(Clauses& clauses, const SQLPARAMETER& criterion)
{
    const std::string& code = criterion.SQLEXPR;
    const char* negation = criterion.SQLEXCLUDE ? "NOT " : "";
    if (code == "EXPIRE") {
        addExpiration(clauses, criterion);
    } else if (code == "MOD") {
        clauses.main += std::string("[MOD] ") + negation + "BETWEEN " +
                        numberText(criterion, criterion.SQLFROM) + " AND " +
                        numberText(criterion, criterion.SQLTHRU) + " AND ";
    } else if (code == "MERIT") {
        clauses.main += std::string("[MOD] ") + negation + "= " +
                        QueryBuilder::meritValue(criterion.SQLFROM) + " AND ";
    } else if (code == "NJARONLY") {
        clauses.main +=
            std::string("NJAR ") + negation + "BETWEEN " +
            std::to_string(QueryBuilder::assignedRiskMonth(criterion.SQLFROM)) + " AND " +
            std::to_string(QueryBuilder::assignedRiskMonth(criterion.SQLTHRU)) + " AND ";
    } else if (code == "MODCHANGE" || code == "MODYEARS") {
        // A company without a change is selected by no range, included or
        // excluded: its CHANGE has no value.
        clauses.trend += std::string(code == "MODCHANGE" ? "CHANGE" : "YEARSOVER") +
                         (criterion.SQLEXCLUDE ? " NOT BETWEEN " : " BETWEEN ") +
                         numberText(criterion, criterion.SQLFROM) + " AND " +
                         numberText(criterion, criterion.SQLTHRU) + " AND ";
    } else if (std::string clause = prospectingClause(criterion); !clause.empty()) {
        clauses.main += clause + " AND ";
    } else {
        for (const TextField& field : kTextFields) {
            if (code == field.code) {
                addTextRange(clauses, field, criterion);
                break;
            }
        }
    }
}

// Drops the joining word left after the last clause.
std::string closed(const std::string& clauses, size_t joinLength)
{
    return clauses.empty() ? clauses : clauses.substr(0, clauses.size() - joinLength);
}

// The companies whose trends lie in the ranges, found on MODTREND's indexes.
// With a zip range the engine should rather start from the zip index: the
// keys are then kept from that index's reach by a unary plus, and only
// looked up in the set of companies the subquery gives.
std::string trendPart(const Clauses& clauses)
{
    if (clauses.trend.empty())
        return {};
    return std::string(clauses.zip.empty() ? "(FILE, SEQUENCE)" : "(+FILE, +SEQUENCE)") +
           " IN (SELECT FILE, SEQUENCE FROM MODTREND WHERE " + closed(clauses.trend, 5) + ")";
}

std::string classPart(const Clauses& clauses, QueryBuilder::ClassTest classTest)
{
    const std::string in = closed(clauses.classIn, 4);
    const std::string out = closed(clauses.classOut, 4);
    const std::string inPart =
        classTest == QueryBuilder::ClassTest::List
            ? "FILESEQ IN (SELECT FILESEQ FROM CLASS WHERE " + in + ")"
            : "EXISTS (SELECT 1 FROM CLASS AS C WHERE C.FILE = PRIME.FILE AND C.SEQUENCE = "
              "PRIME.SEQUENCE AND C.FILESEQ = PRIME.FILESEQ AND (" +
                  in + "))";
    const std::string outPart = "FILESEQ NOT IN (SELECT FILESEQ FROM CLASS WHERE " + out + ")";
    if (!in.empty() && !out.empty())
        return inPart + " AND " + outPart;
    if (!in.empty())
        return inPart;
    if (!out.empty())
        return outPart;
    return {};
}

Clauses clausesOf(const std::vector<SQLPARAMETER>& criteria)
{
    Clauses clauses;
    for (const SQLPARAMETER& criterion : criteria)
        addClause(clauses, criterion);
    return clauses;
}

std::string conditionOf(const Clauses& clauses, QueryBuilder::ClassTest classTest)
{
    std::string condition;
    auto append = [&condition](const std::string& part) {
        if (!part.empty())
            condition += (condition.empty() ? "" : " AND ") + part;
    };
    append(classPart(clauses, classTest));
    append(closed(clauses.main, 5));
    append(trendPart(clauses));
    for (const std::string* group : {&clauses.county, &clauses.zip, &clauses.area, &clauses.sic,
                                     &clauses.user1, &clauses.user2, &clauses.user3}) {
        if (!group->empty())
            append("(" + closed(*group, 4) + ")");
    }
    return condition;
}

} // namespace

std::string QueryBuilder::condition(const std::vector<SQLPARAMETER>& criteria, ClassTest classTest)
{
    return conditionOf(clausesOf(criteria), classTest);
}

std::string QueryBuilder::runCondition(const std::vector<SQLPARAMETER>& criteria)
{
    const Clauses clauses = clausesOf(criteria);
    return conditionOf(clauses, clauses.zip.empty() ? ClassTest::List : ClassTest::PerCompany);
}

std::string QueryBuilder::statement(const std::string& condition)
{
    return LookupStatement{"*", condition, ""}.text();
}

std::string QueryBuilder::orderBy(GridColumn column)
{
    switch (column) {
    case GridColumn::File:
        return " ORDER BY FILE";
    case GridColumn::Name:
        return " ORDER BY NAME1";
    case GridColumn::Expires:
        return " ORDER BY MONTH(EXPIRE), DAY(EXPIRE), NAME1";
    default:
        return {};
    }
}

std::string QueryBuilder::meritValue(const std::string& rating)
{
    if (rating == "Neutral")
        return "9.884";
    if (rating == "Credit")
        return "9.885";
    if (rating == "Debit")
        return "9.886";
    if (rating == "N/Q")
        return "8.888";
    return "0";
}

long long QueryBuilder::assignedRiskMonth(const std::string& monthYear)
{
    const size_t size = monthYear.size();
    const std::string year = monthYear.substr(size - std::min<size_t>(2, size));
    return leadingNumber(year) * 100 + leadingNumber(monthYear.substr(0, 2));
}

} // namespace kora
