#pragma once

#include <optional>
#include <string>

namespace kora {

// The check of a state database that an upgrade archive delivers, made on
// its unpacked scratch file before it replaces the installed database.
class DeliveredDatabase
{
public:
    // Why the file may not become the state's database, or nothing when it may.
    // It must open with connect, the connect string the installation will use
    // for the state, or with the state's own connect string (a delivery into an
    // installation whose passwords were drawn at random: the file is then given
    // the installation's password); pass PRAGMA integrity_check; and hold every
    // table of the state.
    static std::optional<std::string> fault(const std::string& path, const std::string& state,
                                            const std::string& connect);
};

} // namespace kora
