#include "loading/RecordValues.h"

#include "base/Blanks.h"
#include "base/Dates.h"

namespace kora {

namespace {

constexpr const char* kPlaceholderDate = "1950-01-01";

} // namespace

std::optional<long long> RecordValues::digits(std::string_view text)
{
    text = trimBlanks(text);
    if (text.empty())
        return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string RecordValues::date(std::string_view digits, bool yearFirst)
{
    const std::string year(digits.substr(yearFirst ? 0 : 4, 2));
    const std::string monthDay(digits.substr(yearFirst ? 2 : 0, 4));
    const std::string date =
        Dates::fromMonthDayYear(monthDay.substr(0, 2) + "/" + monthDay.substr(2, 2) + "/" + year);
    return date.empty() ? kPlaceholderDate : date;
}

bool RecordValues::isDate(std::string_view digits, bool yearFirst)
{
    if (digits.size() != 6)
        return false;
    int pairs[3] = {};
    for (size_t i = 0; i < 6; ++i) {
        if (digits[i] < '0' || digits[i] > '9')
            return false;
        pairs[i / 2] = pairs[i / 2] * 10 + (digits[i] - '0');
    }
    const int year = yearFirst ? pairs[0] : pairs[2];
    const int month = yearFirst ? pairs[1] : pairs[0];
    const int day = yearFirst ? pairs[2] : pairs[1];
    return Dates::isValid(year + (year < 50 ? 2000 : 1900), month, day);
}

std::string RecordValues::newYorkFile(const UpdateFile& file, const RecordField (&pieces)[3])
{
    return std::string(file.field(pieces[0])) + ' ' + std::string(file.field(pieces[1])) + ' ' +
           std::string(file.field(pieces[2]));
}

} // namespace kora
