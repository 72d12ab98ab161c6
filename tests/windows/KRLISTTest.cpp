#include "windows/KRLIST.h"

#include "RecordWindow.h"
#include "ResultList.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "database/QueryRecordSet.h"
#include "lookup/LookupFile.h"
#include "shell/MASTER.h"
#include "support/WindowFixture.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QtTest>

using namespace kora;
using namespace kora::test;

namespace {

// A PA installation with seven companies, and the list open on it in name order.
struct Open
{
    WindowFixture fixture;
    MASTER master;
    ResultList page{nullptr};

    explicit Open(const std::string& state = "PA")
    {
        master.fixProgramValues();
        master.values().state = state;
        master.values().stateConnect = Installation(fixture.programFolder()).stateConnect(state);
        {
            Database db = database();
            const char* companies[][7] = {
                {"1000001", "01", "SMITH TOOL CO", "", "Allegheny", "19064", "    "},
                {"1000002", "01", "acme widgets", "DBA ACME", "Bucks", "18901", "1234"},
                {"1000002", "02", "Zenith Labs", "", "Chester", "19380", ""},
                {"1000003", "01", "MILLER & SONS", "", "Adams", "17325", ""},
                {"0999999", "01", "Baker Bros", "", "York", "17401", ""},
                {"2000001", "01", "MILLER_JONES", "", "Berks", "19601", ""},
                {"2000002", "01", "MILLERS MILL", "", "Berks", "19601", ""}};
            for (const auto& [file, sequence, name, name2, county, zip, zipExt] : companies) {
                db.prepare("INSERT INTO PRIME (STATE, FILE, SEQUENCE, FILESEQ, NAME1, NameSort, "
                           "NAME2, STREET, CITY, ST, ZIP, ZIPEXT, COUNTYNAME, CountySort, Omit) "
                           "VALUES ('PA', ?, ?, ?, ?, ?, ?, '12 MAIN ST', 'SPRINGFIELD', 'PA', "
                           "?, ?, ?, ?, ' ')")
                    .bindAll({file, sequence, std::string(file) + sequence, name, name, name2, zip,
                              zipExt, county, county})
                    .run();
            }
            db.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) SELECT FILE, SEQUENCE, ' ' "
                       "FROM PRIME");
            db.execute("UPDATE PRIME SET PHONE = '215-555-0100', UserPhone = '     ' "
                       "WHERE FILE = '1000001'");
            db.execute("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) "
                       "VALUES ('1000001', '01', '2023-01-05', '2023-03-01', '2024-03-01', 0.95), "
                       "('1000001', '01', '2024-01-05', '2024-03-01', '2025-03-01', 1.05)");
        }
        master.show();
        page.list = new KRLIST(master, "INITIAL", QString::fromStdString(state),
                               QString::fromStdString(fixture.programFolder()) + "INITIAL/");
        page.list->showMaximized();
        page.list->SORT_SELECT(2);
    }

    Database database()
    {
        return Database(master.values().stateDatabasePath(), master.values().stateConnect);
    }
    std::string omit(const char* file)
    {
        Database db = database();
        return QueryRecordSet(db, std::string("SELECT Omit FROM PRIME WHERE FILE = '") + file + "'")
            .field("Omit")
            .toString();
    }
    std::string lookupPath(const char* file) const
    {
        return fixture.programFolder() + "INITIAL/" + file;
    }
    // Writes a lookup file of one criterion into the workspace and shows the tabs again.
    void saveLookup(const char* file, const char* title, const char* field, const char* from,
                    const char* thru, const char* code, bool exclude = false)
    {
        QVERIFY(LookupFile::write(lookupPath(file), title,
                                  {{title, field, from, thru, code, exclude}}));
        page.list->SETTABS();
    }
};

// Pixels of a grid row's name cell that are plainly red, as drawn.
int redPixels(QTableView* grid, int row)
{
    grid->viewport()->repaint();
    const QImage image = grid->viewport()->grab().toImage();
    const QRect rect = grid->visualRect(grid->model()->index(row, 2));
    int red = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            red += colour.red() > 180 && colour.green() < 90 && colour.blue() < 90;
        }
    return red;
}

QColor foreground(QTableView* grid, int row)
{
    return grid->model()->index(row, 2).data(Qt::ForegroundRole).value<QBrush>().color();
}

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
        QTest::newRow("name") << 2 << byName << "mi"
                              << "MILLER & SONS";
        QTest::newRow("name, plural") << 2 << byName << "millers"
                                      << "MILLERS MILL";
        QTest::newRow("name, underscore") << 2 << byName << "miller_"
                                          << "MILLER_JONES";
        QTest::newRow("name, past the end") << 2 << byName << "zz"
                                            << "Zenith Labs";
        // The Effective header sorts nothing.
        QTest::newRow("effective") << 1 << byName << "b"
                                   << "Baker Bros";
        const QStringList byCounty = {"MILLER & SONS", "SMITH TOOL CO", "MILLER_JONES",
                                      "MILLERS MILL",  "acme widgets",  "Zenith Labs",
                                      "Baker Bros"};
        QTest::newRow("county") << 3 << byCounty << "c"
                                << "Zenith Labs";
        QTest::newRow("file") << 0 << QStringList{"Baker Bros",  "SMITH TOOL CO", "acme widgets",
                                                  "Zenith Labs", "MILLER & SONS", "MILLER_JONES",
                                                  "MILLERS MILL"}
                              << "1000003"
                              << "MILLER & SONS";
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
        // The all-companies tab has no lookup to run.
        open.page.list->SetUpSQL();
        QCOMPARE(open.fixture.messageTexts(), QStringList());
        QCOMPARE(open.page.column(), order);
    }

    void searchingMovesTheGridShownAndAWindowLeftUnchangedKeepsIt()
    {
        Open open;
        ResultList& list = open.page;
        // Typing in the grid goes to the search box; the keys that move still move.
        list.grid()->setFocus();
        QTest::keyClicks(list.grid(), "mi");
        QCOMPARE(list.searchBox()->text(), QString("mi"));
        QCOMPARE(list.current(), QString("MILLER & SONS"));
        list.list->SETTABS(); // as the lookup editor's Cancel does
        QCOMPARE(list.current(), QString("MILLER & SONS"));
        QCOMPARE(list.searchBox()->text(), QString("mi"));
        list.grid()->setFocus();
        QTest::keyClick(list.grid(), Qt::Key_Up);
        QCOMPARE(list.current(), QString("Baker Bros"));
        QCOMPARE(list.searchBox()->text(), QString("mi"));

        open.saveLookup("SEARCH1.KRD", "All of Springfield", "Zip Code", "00000", "99999", "ZIP");
        list.openTab(1);
        list.search("SMI");
        QCOMPARE(list.current(), QString("SMITH TOOL CO"));
        list.list->SETTABS();
        QCOMPARE(list.current(), QString("SMITH TOOL CO"));
        QCOMPARE(list.searchBox()->text(), QString("SMI"));
    }

    void lookupTabsShowTheirCompanies()
    {
        Open open;
        ResultList& list = open.page;
        open.saveLookup("SEARCH1.KRD", "Bucks and Chester", "Zip Code", "18000", "19399", "ZIP");
        open.saveLookup("SEARCH2.KRD", "Nothing", "Zip Code", "99000", "99999", "ZIP");
        open.saveLookup("SEARCH3.KRD", "Not Bucks", "Zip Code", "18901", "18901", "ZIP", true);
        QAbstractItemModelTester tester(list.lookupGrid()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(list.tabs()->tabText(3), QString("Not Bucks"));

        list.openTab(1);
        QCOMPARE(list.column(), QStringList({"acme widgets", "SMITH TOOL CO", "Zenith Labs"}));
        QCOMPARE(list.count(), QString("3"));
        // File order, the Effective header changing nothing, then name order again.
        list.clickHeader(0);
        QCOMPARE(list.column(0), QStringList({"1000001", "1000002", "1000002"}));
        QCOMPARE(list.column(1), QStringList({"01", "01", "02"}));

        // A lookup that selects nothing leaves the row buttons disabled.
        list.openTab(2);
        QCOMPARE(list.column(), QStringList());
        QCOMPARE(list.count(), QString("0"));
        QVERIFY(!list.anyCompanyButtonEnabled());

        list.openTab(3);
        QCOMPARE(list.column(), QStringList({"Baker Bros", "MILLER & SONS", "MILLER_JONES",
                                             "MILLERS MILL", "SMITH TOOL CO", "Zenith Labs"}));

        // The lookup file goes: the list falls back on all companies, running no other lookup
        // (a lookup run would have said so).
        QVERIFY(QFile::remove(QString::fromStdString(open.lookupPath("SEARCH3.KRD"))));
        list.list->SETTABS();
        QCOMPARE(list.tabs()->currentIndex(), 0);
        QCOMPARE(list.tabs()->count(), 3);
        QCOMPARE(open.fixture.messageTexts(), QStringList());
        QCOMPARE(list.count(), QString("7"));
    }

    void excludeMarksTheCompanyOnEveryLookupTab()
    {
        Open open;
        ResultList& list = open.page;
        open.saveLookup("SEARCH1.KRD", "All of Springfield", "Zip Code", "00000", "99999", "ZIP");
        open.saveLookup("SEARCH2.KRD", "Miller", "Company Name", "MILLER & SONS", "MILLER & SONS",
                        "NAME1");
        list.openTab(1);
        QCOMPARE(list.lookupGrid()->currentIndex().row(), 0);
        QCOMPARE(redPixels(list.lookupGrid(), 0), 0);
        list.markButton()->click();
        QCOMPARE(open.omit("1000002"), std::string("Y"));
        // Still selected, the row is drawn red.
        QVERIFY(list.lookupGrid()->selectionModel()->isRowSelected(0, {}));
        QVERIFY(redPixels(list.lookupGrid(), 0) > 20);

        list.search("MIL");
        QCOMPARE(list.current(), QString("MILLER & SONS"));
        QCOMPARE(list.markButton()->text(), QString("Exclude"));
        list.markButton()->click();
        QCOMPARE(list.markButton()->text(), QString("Include"));
        QCOMPARE(foreground(list.lookupGrid(), list.lookupGrid()->currentIndex().row()),
                 QColor(Qt::red));
        QCOMPARE(open.omit("1000003"), std::string("Y"));

        list.openTab(2);
        QCOMPARE(list.column(), QStringList({"MILLER & SONS"}));
        QCOMPARE(foreground(list.lookupGrid(), 0), QColor(Qt::red));
        QCOMPARE(list.markButton()->text(), QString("Include"));
        list.markButton()->click();
        QCOMPARE(open.omit("1000003"), std::string(" "));
        QCOMPARE(list.markButton()->text(), QString("Exclude"));

        // On all companies the button cannot be used, and names the mark of
        // the company shown, not that of the lookup's company.
        list.openTab(0);
        QCOMPARE(list.current(), QString("acme widgets"));
        QVERIFY(!list.markButton()->isEnabled());
        QCOMPARE(list.markButton()->text(), QString("Include"));
        list.search("Zen");
        QCOMPARE(list.markButton()->text(), QString("Exclude"));
    }

    void showsTheSelectedCompanyAndWhatItsRecordStored()
    {
        Open open;
        ResultList& list = open.page;
        QCOMPARE(list.address(),
                 QString("acme widgets\nDBA ACME\n12 MAIN ST\nSPRINGFIELD, PA  18901-1234"));
        list.search("smith");
        QCOMPARE(list.address(), QString("SMITH TOOL CO\n12 MAIN ST\nSPRINGFIELD, PA  19064"));
        // A user phone of blanks does not hide the delivered one.
        QCOMPARE(list.phone(), QString("215-555-0100"));
        QCOMPARE(list.modsGrid()->model()->index(0, 3).data().toString(), QString("1.050"));
        QCOMPARE(list.modTrend(),
                 QString("Latest mod 1.050, +0.100 from the prior mod, 1 year over 1.00"));
        QVERIFY(!list.notesFlagShown());

        open.saveLookup("SEARCH1.KRD", "Bucks", "Zip Code", "18901", "18901", "ZIP");
        list.openTab(1);
        QString caption;
        open.fixture.onModal<KRLISTI>([&caption](KRLISTI* window) {
            RecordWindow record{window};
            caption = window->windowTitle();
            record.notes()->setPlainText("Quote sent");
            record.type("UserPhone", "215-555-0177");
            record.close();
        });
        list.moreInfoButton()->click();
        QCOMPARE(caption, QString("KRLISTI - acme widgets"));
        QVERIFY(list.notesFlagShown());
        QCOMPARE(list.phone(), QString("215-555-0177"));
        // All companies show it too.
        list.openTab(0);
        list.search("acme");
        QCOMPARE(list.phone(), QString("215-555-0177"));
        QVERIFY(list.notesFlagShown());
    }

    void commandsFollowTheTabAndItsLookup()
    {
        Open open;
        open.saveLookup("SEARCH1.KRD", "Bucks", "Zip Code", "18901", "18901", "ZIP");
        // A tab without a lookup cannot be opened.
        open.page.openTab(2);
        QCOMPARE(open.page.tabs()->currentIndex(), 0);
        open.page.openTab(1);
        QVERIFY(open.master.isCommandEnabled("SSRibbon1_4"));
        QVERIFY(!open.master.isCommandEnabled("mnuEditSearch"));
        // The lookup file goes while its tab is shown; the table no longer names it.
        QVERIFY(QFile::remove(QString::fromStdString(open.lookupPath("SEARCH1.KRD"))));
        open.page.list->lookupTabs().reload(0);
        open.page.list->SETBUTTONS(open.page.list);
        QVERIFY(!open.master.isCommandEnabled("SSRibbon1_3"));
        // Another window than the list enables everything again.
        open.page.list->SETBUTTONS(&open.master);
        QVERIFY(open.master.isCommandEnabled("SSRibbon1_3"));
    }

    void keysReachEveryTabAndLongTitlesStayShort()
    {
        Open open;
        ResultList& list = open.page;
        const QString longTitle = QString("Builders of Bucks County ").repeated(12).left(300);
        open.saveLookup("SEARCH1.KRD", "One", "Zip Code", "00000", "99999", "ZIP");
        open.saveLookup("SEARCH2.KRD", qPrintable(longTitle), "Zip Code", "0", "9", "ZIP");
        QCOMPARE(list.tabs()->tabToolTip(2), longTitle);
        QVERIFY(list.tabs()->tabRect(2).width() < list.tabs()->width() / 2);
        list.allGrid()->setFocus();
        QTest::keyClick(list.allGrid(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(list.tabs()->currentIndex(), 1);
        QTest::keyClick(list.lookupGrid(), Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(list.tabs()->currentIndex(), 2);
        QTest::keyClick(list.lookupGrid(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(list.tabs()->currentIndex(), 0);
    }

    void copySqlPutsEachLookupStatementOnTheClipboard()
    {
        Open open;
        open.saveLookup("SEARCH1.KRD", "Bucks", "Zip Code", "18901", "18901", "ZIP");
        QGuiApplication::clipboard()->setText("before");
        open.page.openTab(1);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
        QVERIFY(open.fixture.messageTexts().isEmpty());

        open.page.openTab(0);
        open.master.findChild<QAction*>("mnuSQLcopy")->trigger();
        open.page.openTab(1);
        const QString statement = QGuiApplication::clipboard()->text();
        QVERIFY2(statement.startsWith("SELECT * FROM PRIME WHERE "), qPrintable(statement));
        QVERIFY(statement.contains("18901"));
        QCOMPARE(open.fixture.messageTexts(), QStringList({statement}));
    }

    void fullAddressIsOfferedInNewYorkOnly()
    {
        QVERIFY(Open("NY").page.fullAddressOffered());
        QVERIFY(!Open("PM").page.fullAddressOffered());
    }
};

QTEST_MAIN(KRLISTTest)
#include "KRLISTTest.moc"
