#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace kora {

// The trend of one company's mods, in the order of the company summary
// (newest effective date first, then newest expiration; mods equal in both
// keep the order they were stored in): the newest mod, the one before it and
// how many of the newest mods are above 1.000 with no mod of 1.000 or less
// after them. Every stored value counts, merit codes included, as the
// lookup criteria compare them.
class ModTrend
{
public:
    // A mod by its dates as stored (YYYY-MM-DD) and its value, if any;
    // order is where it was stored among the company's mods.
    void add(std::string_view effective, std::string_view expire, std::optional<double> mod,
             long long order);
    void clear() { m_mods.clear(); }

    std::optional<double> latest() const;
    // No value with fewer than two mods.
    std::optional<double> prior() const;
    // The newest mod minus the prior one, to three decimals.
    std::optional<double> change() const;
    int yearsOver() const;

private:
    // Effective date, a blank and expiration date, cut or filled with zero
    // bytes to their stored length: compared as text, the newer pair is the
    // greater. Fixed in size, so that a whole state's mods make no allocation.
    static constexpr size_t kDateLength = 10;
    using Dates = std::array<char, 2 * kDateLength + 1>;

    struct Mod
    {
        Dates dates;
        std::optional<double> value;
        long long order;
    };

    const Mod* newest(size_t skipped) const;

    std::vector<Mod> m_mods;
};

} // namespace kora
