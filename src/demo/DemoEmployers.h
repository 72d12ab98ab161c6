#pragma once

#include "demo/DemoGeography.h"
#include "demo/DemoRandom.h"
#include "demo/DemoTables.h"

#include <chrono>
#include <string>
#include <vector>

namespace kora {

// Makes up the employers of a demo state: groups of associated companies with
// their mod history, and each member's name, address, contact and industry.
// Every choice comes from the random source it shares with the file writer,
// so the same seed gives the same employers.
class DemoEmployers
{
public:
    using Days = std::chrono::sys_days;

    struct Mod
    {
        Days issue;
        Days effective;
        Days expire;
        int thousandths;
    };

    // What a group of associated companies shares: the file number, the root of
    // their names and one mod history, since their experience is rated together.
    struct Group
    {
        std::string file;
        std::string root;
        std::vector<Mod> mods; // newest first
    };

    struct Employer
    {
        std::string sequence;
        std::string name;
        std::string name2;
        std::string street;
        const DemoGeography::City* city;
        std::string zip;
        std::string zipExt;
        std::string phone;
        std::string fax;
        std::string contact;
        std::string title;
        const demo::Industry* industry;
        int employees;
        int sales;
    };

    DemoEmployers(const std::string& state, Days today, const DemoGeography& geography,
                  DemoRandom& random);

    Group makeGroup(const std::string& file);
    Employer makeEmployer(const Group& group, int member);
    // An industry drawn by how common it is.
    const demo::Industry& anyIndustry();

private:
    std::string nameRoot();
    std::string person();
    std::string phoneNumber(const std::string& areaCode);

    std::string m_state;
    bool m_newYork;
    Days m_today;
    const DemoGeography& m_geography;
    DemoRandom& m_random;
    std::vector<int> m_cityWeights;
    std::vector<int> m_industryWeights;
};

} // namespace kora
