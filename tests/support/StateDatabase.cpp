#include "support/StateDatabase.h"

#include "database/Schema.h"

namespace kora::test {

StateDatabase::StateDatabase(const std::string& state)
    : m_path(m_folder.file("KORA" + state + ".MDB"))
{
    Schema::createStateDatabase(m_path, kConnect, state);
    m_db.open(m_path, kConnect);
}

Value StateDatabase::value(const std::string& sql, const std::vector<Value>& arguments)
{
    Statement query = m_db.prepare(sql);
    query.bindAll(arguments);
    return query.step() ? query.column(0) : Value();
}

} // namespace kora::test
