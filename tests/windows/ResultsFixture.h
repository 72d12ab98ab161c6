#pragma once

#include "ResultList.h"
#include "base/FieldName.h"
#include "database/Database.h"
#include "lookup/LookupFile.h"
#include "shell/KRWSPACE.h"
#include "shell/MASTER.h"
#include "support/WindowFixture.h"
#include "windows/KRLIST.h"
#include "windows/KRLOOKUP.h"

#include <QComboBox>
#include <QPushButton>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kora::test {

using Fields = std::vector<std::pair<std::string, Value>>;

// Adds a company with its note row; fields are PRIME field names and values.
inline void addCompany(Database& db, const std::string& file, const std::string& sequence,
                       const Fields& fields, const Value& note = Value(" "))
{
    std::string names = "FILE, SEQUENCE, FILESEQ";
    std::string marks = "?, ?, ?";
    std::vector<Value> values = {file, sequence, file + sequence};
    for (const auto& [name, value] : fields) {
        names += ", " + quoteIdentifier(name);
        marks += ", ?";
        values.push_back(value);
    }
    db.prepare("INSERT INTO PRIME (" + names + ") VALUES (" + marks + ")").bindAll(values).run();
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

    void addCompany(const std::string& file, const std::string& sequence, const Fields& fields,
                    const Value& note = Value(" "))
    {
        test::addCompany(m_db, file, sequence, fields, note);
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

// A state database holding a few builders and food firms with their
// counties, classes and SIC codes, and the main window started on it with
// the result list showing the INITIAL workspace.
class StartedFixture : public WindowFixture
{
public:
    explicit StartedFixture(const std::string& state = "PA")
    {
        {
            Database db(programFolder() + "KORA" + state + ".MDB",
                        Installation(programFolder()).stateConnect(state));
            const struct
            {
                const char *file, *name, *county, *zip, *sic;
                double mod;
            } companies[] = {{"1000001", "Allen Roofing", "09", "18901", "1761", 1.25},
                             {"1000002", "Baker Paving", "09", "18940", "1611", 0.90},
                             {"1000003", "Carter Homes", "15", "19380", "1521", 1.40},
                             {"1000004", "Dover Foods", "09", "19007", "2011", 1.10},
                             {"1000005", "Easton Steel", "48", "18042", "3312", 0.80},
                             {"1000006", "Greene Construction", "09", "18966", "1542", 1.30},
                             {"1000007", "Harbor Bakery", "51", "00019", "2051", 1.05}};
            for (const auto& [file, name, county, zip, sic, mod] : companies)
                test::addCompany(db, file, "01",
                                 {{"STATE", state},
                                  {"NAME1", name},
                                  {"NameSort", name},
                                  {"ZIP", zip},
                                  {"COUNTY", county},
                                  {"SIC", sic},
                                  {"MOD", mod},
                                  {"Omit", " "}});
            db.execute("INSERT INTO COUNTY (CODE, COUNTY) VALUES ('01', 'Adams'), ('02', "
                       "'Allegheny'), ('09', 'Bucks'), ('15', 'Chester'), ('46', 'Montgomery'), "
                       "('48', 'Northampton'), ('51', 'Philadelphia')");
            db.execute("INSERT INTO SICCODES (CODE, DESC) VALUES ('1500', 'General Building "
                       "Contractors'), ('1521', 'Single-Family Houses'), ('1611', 'Highway and "
                       "Street Construction'), ('1700', 'Construction Special Trade'), ('1761', "
                       "'Roofing and Siding'), ('2000', 'Food and Kindred Products'), ('2011', "
                       "'Meat Packing Plants'), ('2051', 'Bread and Bakery Products'), ('3312', "
                       "'Steel Works')");
            db.execute("INSERT INTO CLASSLIST (CLASS, DESC) VALUES ('5551', 'Roofing'), ('5645', "
                       "'Carpentry'), ('2003', 'Bakery')");
        }
        onModal<KRWSPACE>([state](KRWSPACE* window) {
            named<QComboBox>(window, "STATE")->setCurrentText(QString::fromStdString(state));
            named<QPushButton>(window, "OK")->click();
        });
        if (!m_master.start())
            throw std::runtime_error("the main window did not start");
    }

    MASTER& master() { return m_master; }
    KRLIST& list() { return *m_master.resultList(); }
    ResultList page() { return {&list()}; }
    std::string workspaceFile(const std::string& name) const
    {
        return programFolder() + "INITIAL/" + name;
    }
    std::string bytes(const std::string& name) const { return bytesOf(workspaceFile(name)); }
    // Writes a lookup file of one criterion (its SQLDESC left empty) under a title.
    void writeLookup(const std::string& name, const std::string& title,
                     const SQLPARAMETER& criterion) const
    {
        if (!LookupFile::write(workspaceFile(name), title, {criterion}))
            throw std::runtime_error("cannot write " + name);
    }
    // The editor shown on a lookup file, or on a new lookup, the list following
    // what it saves as it does from the main window.
    std::unique_ptr<KRLOOKUP> showEditor()
    {
        list().SetCurSQLFile(true);
        list().lookupTabs().setCurrentFile("");
        auto editor = std::make_unique<KRLOOKUP>(list().lookupTabs(), list().database(),
                                                 list().state().toStdString(), &m_master);
        QObject::connect(editor.get(), &KRLOOKUP::saved, &list(), &KRLIST::showSavedLookup);
        QObject::connect(editor.get(), &KRLOOKUP::cancelled, &list(), &KRLIST::SETTABS);
        editor->show();
        if (!QTest::qWaitForWindowActive(editor.get()))
            qFatal("the lookup editor did not become active");
        return editor;
    }

private:
    MASTER m_master;
};

} // namespace kora::test
