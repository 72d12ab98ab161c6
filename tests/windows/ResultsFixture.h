#pragma once

#include "base/FieldName.h"
#include "database/Database.h"
#include "shell/MASTER.h"
#include "support/WindowFixture.h"
#include "windows/KRLIST.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

#include <string>
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

// Drives the result list through its controls as a user would: tab 0 shows
// all companies, the others a lookup each.
struct ResultList
{
    KRLIST* list;

    template <typename T> T* child(const char* name) const { return named<T>(list, name); }
    QTabBar* tabs() const { return child<QTabBar>("SSTab1"); }
    QTableView* allGrid() const { return child<QTableView>("TDBGrid1"); }
    QTableView* lookupGrid() const { return child<QTableView>("TDBGrid4"); }
    QTableView* grid() const { return tabs()->currentIndex() == 0 ? allGrid() : lookupGrid(); }
    QLineEdit* searchBox() const { return child<QLineEdit>("SFOR"); }
    QPushButton* markButton() const { return child<QPushButton>("MarkIt"); }

    void openTab(int tab) const { tabs()->setCurrentIndex(tab); }
    void clickHeader(int column) const { emit grid()->horizontalHeader()->sectionClicked(column); }
    void search(const QString& text) const
    {
        searchBox()->clear();
        QTest::keyClicks(searchBox(), text);
    }
    void selectRow(int row) const { grid()->setCurrentIndex(grid()->model()->index(row, 2)); }
    void moreInfo() const { child<QPushButton>("Command1")->click(); }
    void printRecord() const { child<QPushButton>("PRINTCUR")->click(); }
    void exportRecord() const { child<QPushButton>("EXPORTCUR")->click(); }

    // Text of a column of the grid shown, on its current row or on every row.
    QString current(int column = 2) const
    {
        return grid()->currentIndex().siblingAtColumn(column).data().toString();
    }
    QStringList column(int column = 2) const { return gridRows(grid(), {column}); }
    QString count() const { return child<QLineEdit>("VIEWCOUNT")->text(); }
    QString address() const { return child<QPlainTextEdit>("ADDRESS")->toPlainText(); }
    QString phone() const { return child<QLineEdit>("PHONE")->text(); }
    QString modTrend() const { return child<QLabel>("lblModTrend")->text(); }
    bool notesFlagShown() const { return !child<QLabel>("lblNotes")->isHidden(); }
    bool fullAddressOffered() const { return !child<QPushButton>("FULLADDR")->isHidden(); }
    // Whether the buttons acting on the selected company can be used.
    bool anyCompanyButtonEnabled() const
    {
        for (const char* name : {"Command1", "FULLADDR", "PRINTCUR", "MarkIt"})
            if (child<QPushButton>(name)->isEnabled())
                return true;
        return false;
    }
};

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
        m_db.open(m_master.values().stateDatabasePath(), m_master.values().stateConnect);
        m_list = new KRLIST(m_master, QStringLiteral("INITIAL"), QString::fromStdString(state),
                            QString::fromStdString(programFolder()) + "INITIAL/");
    }

    MASTER& master() { return m_master; }
    KRLIST& list() { return *m_list; }
    ResultList page() { return {m_list}; }
    Database& db() { return m_db; }

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
