#include "demo/DemoOutputFile.h"

#include <stdexcept>

namespace kora {

DemoOutputFile::DemoOutputFile(const std::filesystem::path& path) : m_buffer(1 << 20), m_path(path)
{
    m_stream.rdbuf()->pubsetbuf(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_stream.open(path, std::ios::binary | std::ios::trunc);
    if (!m_stream)
        throw std::runtime_error("Cannot write " + path.string());
}

void DemoOutputFile::close()
{
    m_stream.close();
    if (!m_stream)
        throw std::runtime_error("Cannot write " + m_path.string());
}

} // namespace kora
