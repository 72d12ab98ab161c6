#pragma once

#include <stdexcept>
#include <string>

namespace kora {

// A failure of the database engine: the file will not open, the password is
// wrong, a statement is bad, a store breaks a unique index, or the server of
// the database cannot be reached or went away (Disconnected: the connection is
// of no further use, but a new one may work once the server is back), or the
// server's login may not do what was asked (NotAllowed).
class DbError : public std::runtime_error
{
public:
    enum class Kind
    {
        General,
        NotFound,
        WrongPassword,
        UniqueViolation,
        Busy,
        Disconnected,
        NotAllowed
    };

    explicit DbError(const std::string& message, Kind kind = Kind::General)
        : std::runtime_error(message), m_kind(kind)
    {
    }

    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

} // namespace kora
