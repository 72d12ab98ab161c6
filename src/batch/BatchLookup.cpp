#include "batch/BatchLookup.h"

#include <iostream>

namespace kora {

std::optional<LookupSearch> BatchLookup::setUp(const BatchOptions& options)
{
    LookupSearch search(options.state());
    const LookupSearch::SetUp setUp = search.SetUpSQL(options.required("--lookup"), false);
    for (const LookupMessage& message : setUp.messages)
        std::cerr << message.text << "\n";
    if (!setUp.ready)
        return std::nullopt;
    return search;
}

} // namespace kora
