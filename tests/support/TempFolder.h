#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace kora::test {

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder
{
public:
    TempFolder() : m_path((std::filesystem::temp_directory_path() / "kora-test-XXXXXX").string())
    {
        if (!mkdtemp(m_path.data()))
            throw std::runtime_error("cannot make a test folder");
        m_path += "/";
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }

    // The folder with its trailing "/".
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

} // namespace kora::test
