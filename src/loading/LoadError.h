#pragma once

#include <stdexcept>
#include <string>

namespace kora {

// A data load that did not finish: the database is as it was before the load
// and the update file is still in place.
class LoadError : public std::runtime_error
{
public:
    LoadError(const std::string& fileName, const std::string& reason)
        : std::runtime_error("Cannot load " + fileName + ": " + reason), m_fileName(fileName)
    {
    }

    const std::string& fileName() const { return m_fileName; }

private:
    std::string m_fileName;
};

} // namespace kora
