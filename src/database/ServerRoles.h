#pragma once

#include <string>
#include <vector>

namespace kora {

// Who may do what with a state on a server. Agents read the state and write
// their notes, user fields and Omit marks; administrators own the state's
// schema, so that they load it, restore it and publish it again. Both are
// group roles: the office's logins are made members of one of them.
class ServerRoles
{
public:
    static constexpr const char* kAgents = "kora_agent";
    static constexpr const char* kAdmins = "kora_admin";

    // Throws std::invalid_argument for a name that is not a plain lower-case
    // identifier of the server, or for one name given to both roles.
    ServerRoles(std::string agents = kAgents, std::string admins = kAdmins);

    // The statements, each a transaction of its own, that make the roles
    // where they are missing, make the publishing login an administrator and
    // let the administrators make schemas in the database. Two publishings
    // at once may both run them.
    std::vector<std::string> setUpSql() const;
    // The statements, run in the publishing transaction, that give the
    // administrators the state's schema and its objects, and the agents
    // their share of it.
    std::vector<std::string> grantsSql(const std::string& state,
                                       const std::vector<std::string>& tables) const;

private:
    std::string m_agents;
    std::string m_admins;
};

} // namespace kora
