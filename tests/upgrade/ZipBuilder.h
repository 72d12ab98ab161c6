#pragma once

#include "support/TempFolder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kora::test {

// Writes real zip archives through libzip, hostile members included.
class ZipBuilder
{
public:
    struct Member
    {
        std::string name;
        std::string bytes;
        // Unix permission and type bits; 0 for none stored.
        unsigned mode = 0;
    };

    static void write(const std::string& path, const std::vector<Member>& members);
    // Rewrites the size a member declares, in its local and central headers,
    // leaving its data as it is: an archive built to inflate past what it
    // owns up to.
    static void declareSize(const std::string& path, const std::string& name, std::uint32_t size);
};

} // namespace kora::test
