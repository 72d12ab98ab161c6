#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// The whole content of a file ("" when it is missing).
inline std::string fileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The text and blanks after it up to the width, as a field of a fixed-length record.
inline std::string padded(const std::string& text, size_t width)
{
    return text + std::string(width - text.size(), ' ');
}

} // namespace kora::test
