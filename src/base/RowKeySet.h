#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kora {

// A set of row keys (RowKey) in one flat table with open addressing: a load
// meets millions of keys, and a node for each (std::unordered_set) costs an
// allocation and a cache miss apiece.
class RowKeySet
{
public:
    // Adds a key; false when the set held it already.
    bool insert(std::uint64_t key)
    {
        if (key == kFree) {
            const bool added = !m_holdsFree;
            m_holdsFree = true;
            return added;
        }
        if ((m_size + 1) * 2 > m_slots.size())
            grow();
        if (!place(m_slots, key))
            return false;
        ++m_size;
        return true;
    }

private:
    static constexpr std::uint64_t kFree = 0;

    // The slot a key is looked for from: the top bits of the key mixed, as
    // the low bits of a byte-wise hash vary least.
    static std::size_t home(std::uint64_t key, std::size_t mask)
    {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
    }

    static bool place(std::vector<std::uint64_t>& slots, std::uint64_t key)
    {
        const std::size_t mask = slots.size() - 1;
        for (std::size_t slot = home(key, mask);; slot = (slot + 1) & mask) {
            if (slots[slot] == key)
                return false;
            if (slots[slot] == kFree) {
                slots[slot] = key;
                return true;
            }
        }
    }

    void grow()
    {
        std::vector<std::uint64_t> larger(m_slots.empty() ? 1024 : m_slots.size() * 2, kFree);
        for (const std::uint64_t key : m_slots)
            if (key != kFree)
                place(larger, key);
        m_slots.swap(larger);
    }

    std::vector<std::uint64_t> m_slots; // a power of two of them, at most half taken
    std::size_t m_size = 0;
    bool m_holdsFree = false;
};

} // namespace kora
