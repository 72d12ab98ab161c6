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
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(m_target, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        // A device or a pipe (/dev/stdout) cannot be replaced: it is written into.
        m_scratch = m_target;
    } else {
        // Through a link the file it names is replaced, and the link stays.
        fs::path path = fs::exists(status) ? fs::canonical(m_target, error) : fs::path(m_target);
        if (error)
            path = m_target;
        m_scratch = (path.parent_path() / ("." + path.filename().string() + ".partial")).string();
        m_replaced = path.string();
    }
    m_file = std::fopen(m_scratch.c_str(), "wb");
    if (!m_file)
        throw ExportError("CANNOT CREATE OUTPUT FILE!");
    m_buffer.reserve(kBufferSize);
}

ScratchOutput::~ScratchOutput()
{
    if (m_file)
        std::fclose(m_file);
    if (!m_committed && !m_replaced.empty())
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
    if (!m_replaced.empty() && std::rename(m_scratch.c_str(), m_replaced.c_str()) != 0)
        fail();
    m_committed = true;
}

} // namespace kora
