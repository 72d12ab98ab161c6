#pragma once

#include <stdexcept>

namespace kora {

// A command line that cannot be read; kora-batch exits with status 2.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace kora
