#include "database/ServerRoles.h"

#include "base/UserFields.h"
#include "database/ConnectString.h"

#include <stdexcept>

namespace kora {

namespace {

bool isPlainName(const std::string& name)
{
    if (name.empty() || name.size() > 63 || (name[0] >= '0' && name[0] <= '9'))
        return false;
    for (const char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

// A statement run in a block that may fail because another publishing on the
// server did the same at the same moment: then what it was to do is done.
std::string unlessDone(const std::string& statement, const std::string& done)
{
    return "DO $$BEGIN IF NOT (" + done + ") THEN " + statement +
           "; END IF; EXCEPTION WHEN OTHERS THEN IF NOT (" + done + ") THEN RAISE; END IF; END$$";
}

} // namespace

ServerRoles::ServerRoles(std::string agents, std::string admins)
    : m_agents(std::move(agents)), m_admins(std::move(admins))
{
    for (const std::string* name : {&m_agents, &m_admins})
        if (!isPlainName(*name))
            throw std::invalid_argument(
                "The role name \"" + *name +
                "\" cannot be used: give lower-case letters, digits and _ only, "
                "not starting with a digit, up to 63 of them.");
    if (m_agents == m_admins)
        throw std::invalid_argument("The agents and the administrators need roles of their own.");
}

std::vector<std::string> ServerRoles::setUpSql() const
{
    const auto exists = [](const std::string& role) {
        return "EXISTS (SELECT FROM pg_roles WHERE rolname = '" + role + "')";
    };
    const std::string canCreate =
        "has_database_privilege('" + m_admins + "', current_database(), 'CREATE')";
    return {unlessDone("CREATE ROLE " + m_admins + " NOLOGIN", exists(m_admins)),
            unlessDone("CREATE ROLE " + m_agents + " NOLOGIN", exists(m_agents)),
            // Only a member of the role may give it a schema; a superuser is one.
            unlessDone("GRANT " + m_admins + " TO CURRENT_USER",
                       "pg_has_role('" + m_admins + "', 'MEMBER')"),
            // So that another administrator may publish the state anew.
            unlessDone("EXECUTE format('GRANT CREATE ON DATABASE %I TO " + m_admins +
                           "', current_database())",
                       canCreate)};
}

std::vector<std::string> ServerRoles::grantsSql(const std::string& state,
                                                const std::vector<std::string>& tables) const
{
    const std::string schema = serverSchemaOf(state);
    std::vector<std::string> sql = {"ALTER SCHEMA " + schema + " OWNER TO " + m_admins,
                                    "ALTER FUNCTION " + schema + ".month(text) OWNER TO " +
                                        m_admins,
                                    "ALTER FUNCTION " + schema + ".day(text) OWNER TO " + m_admins,
                                    "ALTER TABLE " + schema + ".kora_meta OWNER TO " + m_admins};
    for (const std::string& table : tables)
        sql.push_back("ALTER TABLE " + schema + "." + table + " OWNER TO " + m_admins);
    sql.push_back("GRANT USAGE ON SCHEMA " + schema + " TO " + m_agents);
    sql.push_back("GRANT SELECT ON ALL TABLES IN SCHEMA " + schema + " TO " + m_agents);
    // The row ids of new notes come from the tables' sequences.
    sql.push_back("GRANT USAGE ON ALL SEQUENCES IN SCHEMA " + schema + " TO " + m_agents);
    for (const char* table : {".notes", ".followup"})
        sql.push_back("GRANT INSERT, UPDATE, DELETE ON " + schema + table + " TO " + m_agents);
    sql.push_back("GRANT UPDATE (" + userFieldList() + ") ON " + schema + ".prime TO " + m_agents);
    return sql;
}

} // namespace kora
