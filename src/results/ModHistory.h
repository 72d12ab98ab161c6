#pragma once

#include "results/ResultListData.h"

#include <optional>
#include <string>
#include <vector>

namespace kora {

// A company's mods as a trend: the values in time order, the change of the
// newest from the one before it and the run of newest mods above 1.000.
// Mods without a value and the codes that stand for a merit rating are no
// experience and are left out.
class ModHistory
{
public:
    struct Point
    {
        std::string effective; // YYYY-MM-DD as stored
        double mod;
    };

    // mods: newest first, in the order of the mods grid.
    explicit ModHistory(const std::vector<ResultListData::Mod>& mods);

    const std::vector<Point>& oldestFirst() const { return m_points; }
    std::optional<double> latest() const;
    // The newest mod minus the one before it, to three decimals; none with
    // fewer than two mods.
    std::optional<double> change() const;
    // How many of the newest mods in a row are above 1.000.
    int yearsOver() const;

    // 9.884 to 9.886 and 8.888 stand for a merit rating, not a mod.
    static bool isMeritCode(double mod);

private:
    std::vector<Point> m_points;
};

} // namespace kora
