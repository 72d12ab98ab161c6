#pragma once

#include "database/Value.h"

#include <string>
#include <string_view>

namespace kora {

// What an engine does for one prepared statement (see Statement, which
// forwards each call here once). Parameters are numbered from 1, columns from 0.
class StatementEngine
{
public:
    virtual ~StatementEngine() = default;

    virtual void bindNull(int index) = 0;
    virtual void bindInteger(int index, long long value) = 0;
    virtual void bindReal(int index, double value) = 0;
    virtual void bindText(int index, std::string_view text) = 0;
    // A text that stays where it is until the next step: the engine need not copy it.
    virtual void bindTextInPlace(int index, std::string_view text) { bindText(index, text); }

    // Asks for the whole result in one piece rather than a chunk at a time.
    virtual void readWholeResult() {}
    virtual bool step() = 0;
    // Runs a change whose count is not needed; see Statement::send.
    virtual void send()
    {
        while (step()) {
        }
    }
    // The rows changed by the statement's last run.
    virtual long long changes() const = 0;
    virtual void reset() = 0;

    virtual int columnCount() = 0;
    virtual std::string columnName(int column) = 0;
    virtual Value column(int column) const = 0;
    virtual std::string_view text(int column) const = 0;
    // Parameter N+1 standing for column N in a one-row subquery, so that a
    // condition compares it as it compares the column (QueryRecordSet's find).
    virtual std::string parameterAsColumn(int column) = 0;
};

} // namespace kora
