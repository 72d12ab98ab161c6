#include "output/ScratchOutput.h"

#include "output/ExportError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace kora {

namespace {

constexpr size_t kBufferSize = 1 << 16;

} // namespace

ScratchOutput::ScratchOutput(std::string target) : m_target(std::move(target))
{
    const std::filesystem::path path(m_target);
    m_scratch = (path.parent_path() / ("." + path.filename().string() + ".partial")).string();
    m_file = std::fopen(m_scratch.c_str(), "wb");
    if (!m_file)
        throw ExportError("CANNOT CREATE OUTPUT FILE!");
    m_buffer.reserve(kBufferSize);
}

ScratchOutput::~ScratchOutput()
{
    if (m_file)
        std::fclose(m_file);
    if (!m_committed)
        std::remove(m_scratch.c_str());
}

void ScratchOutput::write(std::string_view text)
{
    m_buffer.append(text);
    if (m_buffer.size() >= kBufferSize)
        flush();
}

void ScratchOutput::flush()
{
    if (!m_buffer.empty() &&
        std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
        fail();
    m_buffer.clear();
}

void ScratchOutput::fail()
{
    throw ExportError::cannotWrite(m_target, std::strerror(errno));
}

void ScratchOutput::closeForOtherWriter()
{
    if (m_file && std::fclose(m_file) != 0) {
        m_file = nullptr;
        fail();
    }
    m_file = nullptr;
}

void ScratchOutput::commit()
{
    if (m_file) {
        flush();
        const bool closed = std::fclose(m_file) == 0;
        m_file = nullptr;
        if (!closed)
            fail();
    }
    if (std::rename(m_scratch.c_str(), m_target.c_str()) != 0)
        fail();
    m_committed = true;
}

} // namespace kora
