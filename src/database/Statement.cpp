#include "database/Statement.h"

namespace kora {

Statement::~Statement() = default;

Statement& Statement::bind(int index, const Value& value)
{
    if (value.isNull())
        m_engine->bindNull(index);
    else if (value.isInteger())
        m_engine->bindInteger(index, value.toInteger());
    else if (value.isReal())
        m_engine->bindReal(index, value.toDouble());
    else
        m_engine->bindText(index, value.toString());
    return *this;
}

Statement& Statement::bindAll(const std::vector<Value>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        bind(static_cast<int>(i) + 1, values[i]);
    return *this;
}

long long Statement::run()
{
    while (step()) {
    }
    return m_engine->changes();
}

} // namespace kora
