#pragma once

#include <cstdlib>

namespace kora::test {

// The date that counts as today while it lives, for one test.
struct FixedToday
{
    explicit FixedToday(const char* date) { setenv("KORA_TODAY", date, 1); }
    ~FixedToday() { unsetenv("KORA_TODAY"); }
    FixedToday(const FixedToday&) = delete;
    FixedToday& operator=(const FixedToday&) = delete;
};

} // namespace kora::test
