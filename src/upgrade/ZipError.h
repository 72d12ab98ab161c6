#pragma once

#include <stdexcept>
#include <string>

namespace kora {

// A zip archive that cannot be read: missing, not a zip file, truncated or
// damaged. code is libzip's error number, the one the upgrade message shows.
class ZipError : public std::runtime_error
{
public:
    ZipError(int code, const std::string& what) : std::runtime_error(what), m_code(code) {}

    int code() const { return m_code; }

private:
    int m_code;
};

} // namespace kora
