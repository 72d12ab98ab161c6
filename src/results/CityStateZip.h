#pragma once

#include <string>

namespace kora {

// A "City ST Zip" line of the address override taken apart from its end:
// "Springfield PA 19064-1234" gives Springfield, PA, 19064 and 1234. A part
// that is not there is empty.
class CityStateZip
{
public:
    static CityStateZip split(const std::string& line);

    // The message for the first missing part of city, state and zip, or an
    // empty text when all three are there.
    std::string problem() const;

    std::string city;
    std::string state;
    std::string zip;
    std::string zipExtension;
};

} // namespace kora
