#include "database/Statement.h"

namespace kora {

Statement::~Statement() = default;

void Statement::bindValue(int index, const Value& value, bool inPlace)
{
    if (const std::string* text = value.textIf()) {
        if (inPlace)
            m_engine->bindTextInPlace(index, *text);
        else
            m_engine->bindText(index, *text);
    } else if (value.isNull()) {
        m_engine->bindNull(index);
    } else if (value.isInteger()) {
        m_engine->bindInteger(index, value.toInteger());
    } else {
        m_engine->bindReal(index, value.toDouble());
    }
}

Statement& Statement::bind(int index, const Value& value)
{
    bindValue(index, value, false);
    return *this;
}

Statement& Statement::bindAll(const std::vector<Value>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        bindValue(static_cast<int>(i) + 1, values[i], false);
    return *this;
}

Statement& Statement::bindAllInPlace(const std::vector<Value>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        bindValue(static_cast<int>(i) + 1, values[i], true);
    return *this;
}

long long Statement::run()
{
    while (step()) {
    }
    return m_engine->changes();
}

} // namespace kora
