#pragma once

#include "database/ServerRoles.h"

#include <functional>
#include <string>

namespace kora {

class Database;

// Moves a state database between its file beside the program and a schema on
// a database server, and tells where it lives. The setup database keeps the
// state's connect string: the file's own, or "PG;" and the server's
// connection text; every program opens the state by it.
class StatePublication
{
public:
    // Told the table being copied and the rows copied so far.
    using Progress = std::function<void(const std::string& table, long long rows)>;

    StatePublication(std::string programFolder, std::string state, Progress progress = {});

    // Copies every table of the state file into the state's schema on the
    // server (made anew), in one transaction, checks the counts and only then
    // points the setup at the server. The schema goes to the roles'
    // administrators; their agents may read it and write their own data.
    // Throws std::runtime_error (the state is open somewhere, the server
    // refuses) and DbError; nothing changes then.
    void toServer(const std::string& connectionText, const ServerRoles& roles = {});
    // Copies the server's rows into a new file, renamed over the state file
    // once whole, and points the setup at the file again.
    void toFile();
    // Copies the rows of a state file (a delivered database) into the state's
    // schema on the server in place of the rows there, in one transaction:
    // agents read the old rows until it commits.
    void replaceServerRows(const std::string& filePath, const std::string& fileConnect);
    // "file", or "server " and the connection text without its password.
    std::string where() const;

private:
    void copyTables(Database& from, Database& to) const;
    void setConnect(const std::string& connect) const;
    void dropSchema(const std::string& serverConnect) const;
    std::string statePath() const;

    std::string m_folder;
    std::string m_state;
    Progress m_progress;
};

} // namespace kora
