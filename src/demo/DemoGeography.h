#pragma once

#include <string>
#include <vector>

namespace kora {

// Places that demo employers are put in: a state's counties under their FIPS
// codes and cities with their county, telephone area code and zip codes.
struct DemoGeography
{
    struct County
    {
        std::string code;
        std::string name;
    };

    struct City
    {
        std::string name;
        std::string county;
        std::string areaCode;
        std::vector<std::string> zips;
        int weight; // how many employers a city draws, relative to the others
    };

    std::string postalState;
    std::vector<County> counties;
    std::vector<City> cities;
    // Words that local businesses like to put in their names.
    std::vector<std::string> placeWords;

    // The geography of a state database; PM and DM hold Pennsylvania employers.
    static const DemoGeography& forState(const std::string& state);
};

} // namespace kora
