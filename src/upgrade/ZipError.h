#pragma once

#include <stdexcept>
#include <string>

namespace kora {

// A failure to unpack an upgrade archive, by its cause: the archive cannot be
// read at all (missing, not a zip file, truncated), one member is damaged
// (CRC error, bad compressed data, more bytes than it declares), or the
// program folder cannot take the member (full disk, file size limit). code is
// libzip's error number, the one the message of an unreadable archive shows.
class ZipError : public std::runtime_error
{
public:
    enum class Cause
    {
        Archive,
        Member,
        Disk
    };

    // subject names the archive, the member or the file; reason says why.
    ZipError(Cause cause, int code, const std::string& subject, const std::string& reason)
        : std::runtime_error(subject + ": " + reason), m_cause(cause), m_code(code),
          m_subject(subject), m_reason(reason)
    {
    }

    Cause cause() const { return m_cause; }
    int code() const { return m_code; }
    const std::string& subject() const { return m_subject; }
    const std::string& reason() const { return m_reason; }

private:
    Cause m_cause;
    int m_code;
    std::string m_subject;
    std::string m_reason;
};

} // namespace kora
