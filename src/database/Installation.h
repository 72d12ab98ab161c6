#pragma once

#include <string>

namespace kora {

// A program folder: the setup database with the password of each state, the six
// state databases and their backup databases, the program's files (help,
// report definitions, manual) and the INITIAL workspace.
class Installation
{
public:
    explicit Installation(std::string programFolder);

    // Creates what is missing; with replaceExisting, replaces what exists.
    // Throws std::runtime_error naming the file that could not be made.
    void create(bool replaceExisting);

    // The connect string of a state's database, from the setup database.
    std::string stateConnect(const std::string& state) const;
    // The same, from the setup database at setupPath.
    static std::string stateConnectIn(const std::string& setupPath, const std::string& state);
    // Makes connect the state's connect string in the setup database at
    // setupPath; throws DbError (NotFound) when the setup has no entry for it.
    static void setStateConnectIn(const std::string& setupPath, const std::string& state,
                                  const std::string& connect);

    // Whether the database opens with the connect string and has its VERSION
    // row: a file of an older release or a damaged one has not. A state on a
    // server that will not open throws its DbError, which names the server.
    static bool hasVersionRow(const std::string& path, const std::string& connect);

private:
    std::string file(const std::string& name) const;

    std::string m_folder;
};

} // namespace kora
