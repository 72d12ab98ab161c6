#pragma once

#include "loading/UpdateFile.h"

#include <optional>
#include <string>
#include <string_view>

namespace kora {

// Values read from the fields of update records.
class RecordValues
{
public:
    // A number written in digits, with blanks around it allowed.
    static std::optional<long long> digits(std::string_view text);
    // A six-digit date (YYMMDD, or MMDDYY when not year first) as stored; a
    // date that cannot be read is the placeholder 1950-01-01.
    static std::string date(std::string_view digits, bool yearFirst);
    // Whether six characters are a date that date() reads.
    static bool isDate(std::string_view digits, bool yearFirst);
    // A New York file number: three pieces of the record joined by single blanks.
    static std::string newYorkFile(const UpdateFile& file, const RecordField (&pieces)[3]);
};

} // namespace kora
