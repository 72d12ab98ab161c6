#include "results/ModHistory.h"

#include <cmath>

namespace kora {

ModHistory::ModHistory(const std::vector<ResultListData::Mod>& mods)
{
    for (auto mod = mods.rbegin(); mod != mods.rend(); ++mod)
        if (!mod->mod.isNull() && !isMeritCode(mod->mod.toDouble()))
            m_points.push_back({mod->effective, mod->mod.toDouble()});
}

std::optional<double> ModHistory::latest() const
{
    if (m_points.empty())
        return std::nullopt;
    return m_points.back().mod;
}

std::optional<double> ModHistory::change() const
{
    if (m_points.size() < 2)
        return std::nullopt;
    const double difference = m_points.back().mod - m_points[m_points.size() - 2].mod;
    return std::round(difference * 1000) / 1000;
}

int ModHistory::yearsOver() const
{
    int years = 0;
    for (auto point = m_points.rbegin(); point != m_points.rend() && point->mod > 1.0; ++point)
        ++years;
    return years;
}

bool ModHistory::isMeritCode(double mod)
{
    const long thousandths = std::lround(mod * 1000);
    return thousandths == 9884 || thousandths == 9885 || thousandths == 9886 || thousandths == 8888;
}

} // namespace kora
