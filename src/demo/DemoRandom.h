#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace kora {

// A deterministic source of choices: the same seed gives the same data on
// every platform (the standard distributions may differ between libraries).
class DemoRandom
{
public:
    explicit DemoRandom(std::uint64_t seed) : m_engine(seed) {}

    int below(int bound)
    {
        return static_cast<int>(m_engine() % static_cast<std::uint64_t>(bound));
    }
    bool chance(double probability) { return unit() < probability; }
    double unit() { return static_cast<double>(m_engine() >> 11) * 0x1.0p-53; }
    double normal()
    {
        const double radius = std::sqrt(-2.0 * std::log(std::max(unit(), 1e-12)));
        return radius * std::cos(6.283185307179586 * unit());
    }
    template <typename T> const T& pick(const std::vector<T>& items)
    {
        return items[static_cast<size_t>(below(static_cast<int>(items.size())))];
    }
    // An index drawn in proportion to the weights.
    size_t weighted(const std::vector<int>& weights)
    {
        int total = 0;
        for (int weight : weights)
            total += weight;
        int draw = below(total);
        for (size_t i = 0; i < weights.size(); ++i) {
            draw -= weights[i];
            if (draw < 0)
                return i;
        }
        return weights.size() - 1;
    }

private:
    std::mt19937_64 m_engine;
};

} // namespace kora
