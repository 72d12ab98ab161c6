#include "loading/UpdateFile.h"

#include <stdexcept>

namespace kora {

namespace {

constexpr size_t kStreamBufferSize = 1 << 18;

} // namespace

UpdateFile::UpdateFile(const std::string& path, int recordLength)
    : m_buffer(kStreamBufferSize), m_record(static_cast<size_t>(recordLength), ' ')
{
    m_stream.rdbuf()->pubsetbuf(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_stream.open(path, std::ios::binary);
    if (!m_stream)
        throw std::runtime_error("the file cannot be opened");
}

bool UpdateFile::next()
{
    m_stream.read(m_record.data(), static_cast<std::streamsize>(m_record.size()));
    if (m_stream.gcount() == static_cast<std::streamsize>(m_record.size()))
        return true;
    if (m_stream.bad())
        throw std::runtime_error("the file cannot be read");
    return false;
}

} // namespace kora
