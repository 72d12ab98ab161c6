#include "windows/KRLIST.h"

#include "RecordWindow.h"
#include "ResultList.h"
#include "ResultsFixture.h"
#include "lookup/LookupFile.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QtTest>

using namespace kora;
using namespace kora::test;

namespace {

// A state database with seven companies, and the list open on it in name order.
struct Open
{
    ResultsFixture data;
    ResultList page{&data.list()};

    explicit Open(const std::string& state = "PA") : data(state)
    {
        const char* companies[][5] = {{"1000001", "01", "SMITH TOOL CO", "Allegheny", "19064"},
                                      {"1000002", "01", "acme widgets", "Bucks", "18901"},
                                      {"1000002", "02", "Zenith Labs", "Chester", "19380"},
                                      {"1000003", "01", "MILLER & SONS", "Adams", "17325"},
                                      {"0999999", "01", "Baker Bros", "York", "17401"},
                                      {"2000001", "01", "MILLER_JONES", "Berks", "19601"},
                                      {"2000002", "01", "MILLERS MILL", "Berks", "19601"}};
        for (const auto& [file, sequence, name, county, zip] : companies)
            data.addCompany(file, sequence,
                            {{"STATE", "PA"},
                             {"NAME1", name},
                             {"NameSort", name},
                             {"STREET", "12 MAIN ST"},
                             {"CITY", "SPRINGFIELD"},
                             {"ST", "PA"},
                             {"ZIP", zip},
                             {"COUNTYNAME", county},
                             {"CountySort", county},
                             {"Omit", " "}});
        data.db().execute("UPDATE PRIME SET PHONE = '215-555-0100', UserPhone = '     ' "
                          "WHERE FILE = '1000001'");
        data.db().execute(
            "INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) VALUES ('1000001', "
            "'01', '2023-01-05', '2023-03-01', '2024-03-01', 0.95), ('1000001', '01', "
            "'2024-01-05', '2024-03-01', '2025-03-01', 1.05)");
        data.master().show();
        page.list->showMaximized();
        page.list->SORT_SELECT(2);
    }
    std::string omit(const char* file) { return data.field(file, "01", "Omit").toString(); }
    QString lookupPath(const char* file) const
    {
        return QString::fromStdString(data.programFolder()) + "INITIAL/" + file;
    }
    // Writes a one-criterion zip lookup into the workspace and shows the tabs again.
    void saveLookup(const char* file, const std::string& title, const char* from, const char* thru,
                    bool exclude = false)
    {
        QVERIFY(LookupFile::write(lookupPath(file).toStdString(), title,
                                  {{title, "Zip Code", from, thru, "ZIP", exclude}}));
        page.list->SETTABS();
    }
    QColor nameColour(int row) const
    {
        return page.grid()->model()->index(row, 2).data(Qt::ForegroundRole).value<QBrush>().color();
    }
};

} // namespace

class KRLISTTest : public QObject
{
    Q_OBJECT

private slots:
    void allCompaniesSortAndSearchByTheColumnClicked_data()
    {
        QTest::addColumn<int>("header");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found");
        const QStringList byName = {"acme widgets", "Baker Bros",   "MILLER & SONS",
                                    "MILLER_JONES", "MILLERS MILL", "SMITH TOOL CO",
                                    "Zenith Labs"};
        const auto row = [](const char* name, int header, const QStringList& order,
                            const char* typed, const char* found) {
            QTest::newRow(name) << header << order << QString(typed) << QString(found);
        };
        row("name", 2, byName, "mi", "MILLER & SONS");
        row("name, plural", 2, byName, "millers", "MILLERS MILL");
        row("name, underscore", 2, byName, "miller_", "MILLER_JONES");
        row("name, past the end", 2, byName, "zz", "Zenith Labs");
        // The Effective header sorts nothing.
        row("effective", 1, byName, "b", "Baker Bros");
        row("county", 3,
            {"MILLER & SONS", "SMITH TOOL CO", "MILLER_JONES", "MILLERS MILL", "acme widgets",
             "Zenith Labs", "Baker Bros"},
            "c", "Zenith Labs");
        row("file", 0,
            {"Baker Bros", "SMITH TOOL CO", "acme widgets", "Zenith Labs", "MILLER & SONS",
             "MILLER_JONES", "MILLERS MILL"},
            "1000003", "MILLER & SONS");
    }
    void allCompaniesSortAndSearchByTheColumnClicked()
    {
        QFETCH(int, header);
        QFETCH(QStringList, order);
        QFETCH(QString, typed);
        QFETCH(QString, found);
        Open open;
        QAbstractItemModelTester tester(open.page.allGrid()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        open.page.search("x");
        open.page.clickHeader(header);
        QCOMPARE(open.page.searchBox()->text().isEmpty(), header != 1);
        QCOMPARE(open.page.column(), order);
        open.page.search(typed);
        QCOMPARE(open.page.current(), found);
        QCOMPARE(open.page.count(), QString("7"));
    }

    void searchingMovesTheGridShownAndAWindowLeftUnchangedKeepsIt()
    {
        Open open;
        ResultList& list = open.page;
        // Typing in the grid goes to the search box; the keys that move still move.
        list.grid()->setFocus();
        QTest::keyClicks(list.grid(), "mi");
        QCOMPARE(list.current(), QString("MILLER & SONS"));
        list.list->SETTABS(); // as the lookup editor's Cancel does
        QCOMPARE(list.current(), QString("MILLER & SONS"));
        list.grid()->setFocus();
        QTest::keyClick(list.grid(), Qt::Key_Up);
        QCOMPARE(list.current(), QString("Baker Bros"));
        QCOMPARE(list.searchBox()->text(), QString("mi"));

        open.saveLookup("SEARCH1.KRD", "All of Springfield", "00000", "99999");
        list.openTab(1);
        list.search("SMI");
        QCOMPARE(list.current(), QString("SMITH TOOL CO"));
        list.list->SETTABS();
        QCOMPARE(list.current(), QString("SMITH TOOL CO"));
        QCOMPARE(list.searchBox()->text(), QString("SMI"));
    }

    void lookupTabsShowTheirCompaniesAndFollowTheirFiles()
    {
        Open open;
        ResultList& list = open.page;
        open.saveLookup("SEARCH1.KRD", "Bucks and Chester", "18000", "19399");
        open.saveLookup("SEARCH2.KRD", "Nothing", "99000", "99999");
        open.saveLookup("SEARCH3.KRD", "Not Bucks", "18901", "18901", true);
        QCOMPARE(list.tabs()->tabText(3), QString("Not Bucks"));
        list.openTab(1);
        QCOMPARE(list.column(), QStringList({"acme widgets", "SMITH TOOL CO", "Zenith Labs"}));
        QCOMPARE(list.count(), QString("3"));
        QVERIFY(open.data.master().isCommandEnabled("SSRibbon1_4"));
        QVERIFY(!open.data.master().isCommandEnabled("mnuEditSearch"));
        // A lookup that selects nothing leaves the row buttons disabled.
        list.openTab(2);
        QCOMPARE(list.count(), QString("0"));
        QVERIFY(!list.anyCompanyButtonEnabled());
        list.openTab(3);
        QCOMPARE(list.column(), QStringList({"Baker Bros", "MILLER & SONS", "MILLER_JONES",
                                             "MILLERS MILL", "SMITH TOOL CO", "Zenith Labs"}));
        // The file goes while its tab is shown: the commands no longer offer it.
        QVERIFY(QFile::remove(open.lookupPath("SEARCH3.KRD")));
        list.list->lookupTabs().reload(0);
        list.list->SETBUTTONS(list.list);
        QVERIFY(!open.data.master().isCommandEnabled("SSRibbon1_3"));
        list.list->SETBUTTONS(&open.data.master());
        QVERIFY(open.data.master().isCommandEnabled("SSRibbon1_3"));
        // The list falls back on all companies, running no other lookup.
        list.list->SETTABS();
        QCOMPARE(list.tabs()->currentIndex(), 0);
        QCOMPARE(list.tabs()->count(), 3);
        QCOMPARE(open.data.messageTexts(), QStringList());
        QCOMPARE(list.count(), QString("7"));
        // The keys reach every tab.
        list.allGrid()->setFocus();
        QTest::keyClick(list.allGrid(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(list.tabs()->currentIndex(), 1);
        QTest::keyClick(list.lookupGrid(), Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(list.tabs()->currentIndex(), 2);
        QTest::keyClick(list.lookupGrid(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(list.tabs()->currentIndex(), 0);
    }

    void excludeMarksTheCompanyOnEveryLookupTab()
    {
        Open open;
        ResultList& list = open.page;
        open.saveLookup("SEARCH1.KRD", "All of Springfield", "00000", "99999");
        QVERIFY(LookupFile::write(
            open.lookupPath("SEARCH2.KRD").toStdString(), "Miller",
            {{"", "Company Name", "MILLER & SONS", "MILLER & SONS", "NAME1", false}}));
        list.list->SETTABS();
        list.openTab(1);
        list.markButton()->click();
        QCOMPARE(open.omit("1000002"), std::string("Y"));
        QVERIFY(list.lookupGrid()->selectionModel()->isRowSelected(0, {}));
        QCOMPARE(open.nameColour(0), QColor(Qt::red));
        list.search("MIL");
        QCOMPARE(list.markButton()->text(), QString("Exclude"));
        list.markButton()->click();
        QCOMPARE(list.markButton()->text(), QString("Include"));
        QCOMPARE(open.omit("1000003"), std::string("Y"));

        list.openTab(2);
        QCOMPARE(list.column(), QStringList({"MILLER & SONS"}));
        QCOMPARE(open.nameColour(0), QColor(Qt::red));
        list.markButton()->click();
        QCOMPARE(open.omit("1000003"), std::string(" "));
        QCOMPARE(list.markButton()->text(), QString("Exclude"));
        // On all companies the button cannot be used, and names the mark of the company shown.
        list.openTab(0);
        QVERIFY(!list.markButton()->isEnabled());
        QCOMPARE(list.markButton()->text(), QString("Include"));
        list.search("Zen");
        QCOMPARE(list.markButton()->text(), QString("Exclude"));
    }

    void showsTheSelectedCompanyAndWhatItsRecordStored()
    {
        Open open;
        ResultList& list = open.page;
        list.search("smith");
        QCOMPARE(list.address(), QString("SMITH TOOL CO\n12 MAIN ST\nSPRINGFIELD, PA  19064"));
        // A user phone of blanks does not hide the delivered one.
        QCOMPARE(list.phone(), QString("215-555-0100"));
        QCOMPARE(list.modTrend(),
                 QString("Latest mod 1.050, +0.100 from the prior mod, 1 year over 1.00"));
        QVERIFY(!list.notesFlagShown());

        open.saveLookup("SEARCH1.KRD", "Bucks", "18901", "18901");
        list.openTab(1);
        QString caption;
        open.data.onModal<KRLISTI>([&caption](KRLISTI* window) {
            RecordWindow record{window};
            caption = window->windowTitle();
            record.notes()->setPlainText("Quote sent");
            record.type("UserPhone", "215-555-0177");
            record.close();
        });
        list.moreInfoButton()->click();
        QCOMPARE(caption, QString("KRLISTI - acme widgets"));
        list.openTab(0);
        list.search("acme");
        QCOMPARE(list.phone(), QString("215-555-0177"));
        QVERIFY(list.notesFlagShown());
    }

    void copySqlPutsEachLookupStatementOnTheClipboard()
    {
        Open open;
        open.saveLookup("SEARCH1.KRD", "Bucks", "18901", "18901");
        QGuiApplication::clipboard()->setText("before");
        open.page.openTab(1);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
        open.page.openTab(0);
        open.data.master().findChild<QAction*>("mnuSQLcopy")->trigger();
        open.page.openTab(1);
        const QString statement = QGuiApplication::clipboard()->text();
        QVERIFY2(statement.startsWith("SELECT * FROM PRIME WHERE "), qPrintable(statement));
        QVERIFY(statement.contains("18901"));
        QCOMPARE(open.data.messageTexts(), QStringList({statement}));
    }

    void fullAddressIsOfferedInNewYorkOnly()
    {
        QVERIFY(Open("NY").page.fullAddressOffered());
        QVERIFY(!Open("PM").page.fullAddressOffered());
    }
};

QTEST_MAIN(KRLISTTest)
#include "KRLISTTest.moc"
