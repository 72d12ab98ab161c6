#include "ResultsFixture.h"

#include "base/FieldName.h"
#include "database/Installation.h"

namespace kora::test {

ResultsFixture::ResultsFixture(const std::string& state)
{
    m_master.fixProgramValues();
    m_master.values().state = state;
    m_master.values().stateConnect = Installation(programFolder()).stateConnect(state);
    m_db.open(databasePath(), m_master.values().stateConnect);
    m_list = new KRLIST(m_master, QStringLiteral("INITIAL"), QString::fromStdString(state),
                        QString::fromStdString(programFolder()) + "INITIAL/");
}

void ResultsFixture::addCompany(const std::string& file, const std::string& sequence,
                                const std::vector<std::pair<std::string, Value>>& fields,
                                const Value& note)
{
    std::string names = "FILE, SEQUENCE, FILESEQ";
    std::string marks = "?, ?, ?";
    std::vector<Value> values = {file, sequence, file + sequence};
    for (const auto& [name, value] : fields) {
        names += ", " + quoteIdentifier(name);
        marks += ", ?";
        values.push_back(value);
    }
    m_db.prepare("INSERT INTO PRIME (" + names + ") VALUES (" + marks + ")").bindAll(values).run();
    m_db.prepare("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES (?, ?, ?)")
        .bindAll({file, sequence, note})
        .run();
}

Value ResultsFixture::field(const std::string& file, const std::string& sequence,
                            const std::string& name)
{
    Statement query = m_db.prepare("SELECT " + quoteIdentifier(name) +
                                   " FROM PRIME WHERE FILE = ? AND SEQUENCE = ?");
    query.bindAll({file, sequence});
    return query.step() ? query.column(0) : Value("(no row)");
}

Value ResultsFixture::note(const std::string& file, const std::string& sequence)
{
    Statement query = m_db.prepare("SELECT NOTES FROM NOTES WHERE FILE = ? AND SEQUENCE = ?");
    query.bindAll({file, sequence});
    return query.step() ? query.column(0) : Value("(no row)");
}

} // namespace kora::test
