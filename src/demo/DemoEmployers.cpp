#include "demo/DemoEmployers.h"

#include "base/StateRules.h"
#include "demo/DemoRecord.h"

#include <algorithm>
#include <cmath>

namespace kora {

using namespace demo;

DemoEmployers::DemoEmployers(const std::string& state, Days today, const DemoGeography& geography,
                             DemoRandom& random)
    : m_state(state), m_newYork(StateRules::isNewYork(state)), m_today(today),
      m_geography(geography), m_random(random)
{
    for (const auto& city : m_geography.cities)
        m_cityWeights.push_back(city.weight);
    for (const auto& industry : kIndustries)
        m_industryWeights.push_back(industry.weight);
}

const Industry& DemoEmployers::anyIndustry()
{
    return kIndustries[m_random.weighted(m_industryWeights)];
}

DemoEmployers::Group DemoEmployers::makeGroup(const std::string& file)
{
    Group group{file, nameRoot(), {}};
    const int count = static_cast<int>(m_random.weighted(kModCountWeights));
    const bool merit = StateRules::hasMeritClasses(m_state) && m_random.chance(0.15);
    // Policies renew on the same day each year, most on the first of a month;
    // the newest mod may already be issued for a policy starting soon.
    const auto month = static_cast<unsigned>(1 + m_random.below(12));
    const auto day = static_cast<unsigned>(m_random.chance(0.6) ? 1 : 2 + m_random.below(27));
    const auto today = std::chrono::year_month_day(m_today);
    std::chrono::year year = today.year();
    if (Days(year / std::chrono::month(month) / std::chrono::day(day)) >
        m_today + std::chrono::days(60))
        --year;
    // Some employers have had no new mod for a few years.
    if (m_random.chance(0.08))
        year -= std::chrono::years(1 + m_random.below(3));
    double mod = std::clamp(std::exp(0.22 * m_random.normal()), 0.6, 2.0);
    // Histories reach back six years at most.
    const std::chrono::year oldest = today.year() - std::chrono::years(6);
    for (int i = 0; i < count && year >= oldest; ++i) {
        const Days effective(year / std::chrono::month(month) / std::chrono::day(day));
        const Days expire((year + std::chrono::years(1)) / std::chrono::month(month) /
                          std::chrono::day(day));
        const Days issue = effective - std::chrono::days(20 + m_random.below(80));
        const int thousandths =
            merit ? m_random.pick(kMeritThousandths) : static_cast<int>(std::lround(mod * 1000));
        group.mods.push_back({issue, effective, expire, thousandths});
        mod = std::clamp(mod * std::exp(0.08 * m_random.normal()), 0.6, 2.0);
        year -= std::chrono::years(m_random.chance(0.1) ? 2 : 1);
    }
    return group;
}

std::string DemoEmployers::nameRoot()
{
    const int kind = m_random.below(20);
    if (kind < 10)
        return m_random.pick(kSurnames);
    if (kind < 15)
        return m_random.pick(m_geography.placeWords);
    if (kind < 17)
        return m_random.pick(kSurnames) + " & " + m_random.pick(kSurnames);
    if (kind < 19)
        return m_random.pick(m_geography.cities).name;
    return m_random.pick(kGivenNames) + " " + m_random.pick(kSurnames);
}

std::string DemoEmployers::person()
{
    return m_random.pick(kGivenNames) + " " + m_random.pick(kSurnames);
}

std::string DemoEmployers::phoneNumber(const std::string& areaCode)
{
    return areaCode + "-" + DemoRecord::digits(200 + m_random.below(800), 3) + "-" +
           DemoRecord::digits(m_random.below(10000), 4);
}

DemoEmployers::Employer DemoEmployers::makeEmployer(const Group& group, int member)
{
    Employer employer;
    employer.sequence = DemoRecord::digits(member + 1, 2);
    employer.industry = &anyIndustry();
    const size_t width = m_newYork ? 35 : 40;
    const std::string form = m_random.pick(kForms);
    employer.name = group.root + " " + m_random.pick(employer.industry->words);
    if (!form.empty() && employer.name.size() + 1 + form.size() <= width)
        employer.name += " " + form;
    const int name2 = m_random.below(100);
    if (name2 < 7)
        employer.name2 = "DBA " + m_random.pick(m_geography.placeWords) + " " +
                         m_random.pick(employer.industry->words);
    else if (name2 < 13)
        employer.name2 = "C/O " + person();

    employer.city = &m_geography.cities[m_random.weighted(m_cityWeights)];
    employer.zip = m_random.pick(employer.city->zips);
    if (m_random.chance(0.65))
        employer.zipExt = DemoRecord::digits(m_random.below(10000), 4);
    if (m_random.chance(0.07)) {
        employer.street = "PO BOX " + std::to_string(1 + m_random.below(9999));
    } else {
        employer.street = std::to_string(1 + m_random.below(m_random.chance(0.7) ? 999 : 9999)) +
                          " " + m_random.pick(kStreets);
        if (m_random.chance(0.12))
            employer.street +=
                " STE " + std::to_string(100 * (1 + m_random.below(9)) + m_random.below(20));
    }
    employer.phone = phoneNumber(employer.city->areaCode);
    if (m_random.chance(0.55))
        employer.fax = phoneNumber(employer.city->areaCode);
    if (m_random.chance(0.85)) {
        employer.contact = person();
        employer.title = m_random.chance(0.85) ? m_random.pick(kTitles) : "";
    }
    employer.employees = static_cast<int>(m_random.weighted(kEmployeeWeights));
    employer.sales = std::clamp(employer.employees + m_random.below(3) - 1, 0, 9);
    return employer;
}

} // namespace kora
