#pragma once

#include <stdexcept>
#include <string>

namespace kora {

// A lookup value that cannot go into a statement as it stands: a number
// field holding something other than a number.
class LookupValueError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace kora
