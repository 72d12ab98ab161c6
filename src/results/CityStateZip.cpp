#include "results/CityStateZip.h"

#include "base/Blanks.h"

namespace kora {

namespace {

// Takes the last `width` characters off `rest` into `part` when the character
// before them is `separator` and `rest` is longer than `minimum`.
void takeEnd(std::string& rest, std::string& part, size_t width, char separator, size_t minimum)
{
    const size_t length = rest.size();
    if (length <= minimum || rest[length - width - 1] != separator)
        return;
    part = rest.substr(length - width);
    rest = std::string(trimBlanks(rest.substr(0, length - width - 1)));
}

} // namespace

CityStateZip CityStateZip::split(const std::string& line)
{
    CityStateZip parts;
    std::string rest(trimBlanks(line));
    takeEnd(rest, parts.zipExtension, 4, '-', 5);
    takeEnd(rest, parts.zip, 5, ' ', 6);
    takeEnd(rest, parts.state, 2, ' ', 3);
    parts.city = rest;
    return parts;
}

std::string CityStateZip::problem() const
{
    if (city.empty())
        return "Missing City, Format Must be City ST Zip";
    if (state.empty())
        return "Missing State, Format Must be City ST Zip";
    if (zip.empty())
        return "Missing Zip Code, Format Must be City ST Zip";
    return {};
}

} // namespace kora
