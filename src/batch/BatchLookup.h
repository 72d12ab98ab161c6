#pragma once

#include "batch/BatchOptions.h"
#include "lookup/LookupSearch.h"

#include <optional>

namespace kora {

// The lookup named by --lookup, set up for --state as the result list sets it
// up. The messages a window would show go to standard error.
class BatchLookup
{
public:
    // No value when the lookup is refused (its message has been printed).
    static std::optional<LookupSearch> setUp(const BatchOptions& options);
};

} // namespace kora
