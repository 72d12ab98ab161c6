#pragma once

#include "base/FieldName.h"
#include "database/Database.h"
#include "shell/MASTER.h"
#include "support/WindowFixture.h"
#include "windows/KRLIST.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kora::test {

// Adds a company with its note row: the values of the PRIME fields named
// (parted by ", ") follow FILE, SEQUENCE and FILESEQ.
inline void addCompany(Database& db, const std::string& file, const std::string& sequence,
                       const std::string& fields, std::vector<Value> values,
                       const Value& note = Value(" "))
{
    std::string marks = "?, ?, ?";
    for (size_t i = 0; i < values.size(); ++i)
        marks += ", ?";
    values.insert(values.begin(), {file, sequence, file + sequence});
    db.prepare("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, " + fields + ") VALUES (" + marks + ")")
        .bindAll(values)
        .run();
    db.prepare("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES (?, ?, ?)")
        .bindAll({file, sequence, note})
        .run();
}

// A program folder with one state database, and the main window and result
// list open on that state, as after a workspace choice.
class ResultsFixture : public WindowFixture
{
public:
    explicit ResultsFixture(const std::string& state)
    {
        m_master.fixProgramValues();
        m_master.values().state = state;
        m_master.values().stateConnect = Installation(programFolder()).stateConnect(state);
        m_db.open(databasePath(), m_master.values().stateConnect);
        m_list = new KRLIST(m_master, QStringLiteral("INITIAL"), QString::fromStdString(state),
                            QString::fromStdString(programFolder()) + "INITIAL/");
    }

    MASTER& master() { return m_master; }
    KRLIST& list() { return *m_list; }
    Database& db() { return m_db; }
    std::string databasePath() { return m_master.values().stateDatabasePath(); }

    void addCompany(const std::string& file, const std::string& sequence, const std::string& fields,
                    const std::vector<Value>& values, const Value& note = Value(" "))
    {
        test::addCompany(m_db, file, sequence, fields, values, note);
    }
    Value field(const std::string& file, const std::string& sequence, const std::string& name)
    {
        return value("SELECT " + quoteIdentifier(name) + " FROM PRIME", file, sequence);
    }
    Value note(const std::string& file, const std::string& sequence)
    {
        return value("SELECT NOTES FROM NOTES", file, sequence);
    }

private:
    Value value(const std::string& select, const std::string& file, const std::string& sequence)
    {
        Statement query = m_db.prepare(select + " WHERE FILE = ? AND SEQUENCE = ?");
        query.bindAll({file, sequence});
        return query.step() ? query.column(0) : Value("(no row)");
    }

    MASTER m_master;
    Database m_db;
    KRLIST* m_list = nullptr;
};

} // namespace kora::test
