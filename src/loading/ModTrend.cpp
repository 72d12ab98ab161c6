#include "loading/ModTrend.h"

#include <algorithm>
#include <cmath>

namespace kora {

namespace {

constexpr double kOne = 1.000;

} // namespace

void ModTrend::add(std::string_view effective, std::string_view expire, std::optional<double> mod,
                   long long order)
{
    Mod added{{}, mod, order};
    effective.copy(added.dates.data(), kDateLength);
    added.dates[kDateLength] = ' ';
    expire.copy(added.dates.data() + kDateLength + 1, kDateLength);
    // Newest first; the earlier stored first among equal dates.
    const auto place =
        std::upper_bound(m_mods.begin(), m_mods.end(), added, [](const Mod& a, const Mod& b) {
            if (a.dates != b.dates)
                return a.dates > b.dates;
            return a.order < b.order;
        });
    m_mods.insert(place, added);
}

const ModTrend::Mod* ModTrend::newest(size_t skipped) const
{
    return skipped < m_mods.size() ? &m_mods[skipped] : nullptr;
}

std::optional<double> ModTrend::latest() const
{
    const Mod* mod = newest(0);
    return mod ? mod->value : std::nullopt;
}

std::optional<double> ModTrend::prior() const
{
    const Mod* mod = newest(1);
    return mod ? mod->value : std::nullopt;
}

std::optional<double> ModTrend::change() const
{
    const auto newer = latest();
    const auto older = prior();
    if (!newer || !older)
        return std::nullopt;
    // Rounded half away from zero, as the engine's ROUND.
    return std::round((*newer - *older) * 1000.0) / 1000.0;
}

int ModTrend::yearsOver() const
{
    // A mod of 1.000 or less ends the run only when its dates are later:
    // one with the same dates as a mod above 1.000 leaves that mod counted.
    const Dates* lastLow = nullptr;
    for (const Mod& mod : m_mods) {
        if (mod.value && *mod.value <= kOne) {
            lastLow = &mod.dates;
            break;
        }
    }
    int years = 0;
    for (const Mod& mod : m_mods)
        if (mod.value && *mod.value > kOne && (!lastLow || mod.dates >= *lastLow))
            ++years;
    return years;
}

} // namespace kora
