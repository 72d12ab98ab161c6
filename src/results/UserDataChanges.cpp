#include "results/UserDataChanges.h"

#include <atomic>

namespace kora {

namespace {

std::atomic<long long> stores{0};

} // namespace

void UserDataChanges::record()
{
    ++stores;
}

long long UserDataChanges::count()
{
    return stores;
}

} // namespace kora
