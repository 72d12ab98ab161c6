#pragma once

#include "demo/DemoRecord.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace kora {

// An update file being written record by record through a large buffer.
class DemoOutputFile
{
public:
    // Throws std::runtime_error when the file cannot be created.
    explicit DemoOutputFile(const std::filesystem::path& path);

    void write(const DemoRecord& record) { m_stream << record.text(); }
    // Throws std::runtime_error when the file could not be written whole.
    void close();

private:
    std::vector<char> m_buffer;
    std::filesystem::path m_path;
    std::ofstream m_stream;
};

} // namespace kora
