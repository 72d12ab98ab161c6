#include "windows/KRLIST.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "database/QueryRecordSet.h"
#include "lookup/LookupFile.h"
#include "shell/MASTER.h"
#include "support/WindowFixture.h"
#include "windows/KRLISTI.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

using namespace kora;
using namespace kora::test;

class KRLISTTest : public QObject
{
    Q_OBJECT

private:
    // A PA installation with five companies, and the list open on it.
    struct Open
    {
        WindowFixture fixture;
        MASTER master;
        KRLIST* list = nullptr;

        explicit Open(const std::string& state = "PA")
        {
            master.fixProgramValues();
            master.values().state = state;
            master.values().stateConnect =
                Installation(fixture.programFolder()).stateConnect(state);
            {
                Database db(master.values().stateDatabasePath(), master.values().stateConnect);
                add(db, "1000001", "01", "SMITH TOOL CO", "", "Allegheny", "19064", "    ");
                add(db, "1000002", "01", "acme widgets", "DBA ACME", "Bucks", "18901", "1234");
                add(db, "1000002", "02", "Zenith Labs", "", "Chester", "19380", "");
                add(db, "1000003", "01", "MILLER & SONS", "", "Adams", "17325", "");
                add(db, "0999999", "01", "Baker Bros", "", "York", "17401", "");
                db.execute("UPDATE PRIME SET PHONE = '215-555-0100', UserPhone = '     ' "
                           "WHERE FILE = '1000001'");
                db.execute("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) "
                           "VALUES ('1000001', '01', '2023-01-05', '2023-03-01', '2024-03-01', "
                           "0.95), ('1000001', '01', '2024-01-05', '2024-03-01', '2025-03-01', "
                           "1.05)");
            }
            master.show();
            list = new KRLIST(master, "INITIAL", QString::fromStdString(state),
                              QString::fromStdString(fixture.programFolder()) + "INITIAL/");
            list->showMaximized();
            list->SORT_SELECT(2);
        }

        static void add(Database& db, const char* file, const char* sequence, const char* name,
                        const char* name2, const char* county, const char* zip, const char* zipExt)
        {
            db.prepare("INSERT INTO PRIME (STATE, FILE, SEQUENCE, FILESEQ, NAME1, NameSort, "
                       "NAME2, STREET, CITY, ST, ZIP, ZIPEXT, COUNTYNAME, CountySort, Omit) "
                       "VALUES ('PA', ?, ?, ?, ?, ?, ?, '12 MAIN ST', 'SPRINGFIELD', 'PA', ?, "
                       "?, ?, ?, ' ')")
                .bindAll({file, sequence, std::string(file) + sequence, name, name, name2, zip,
                          zipExt, county, county})
                .run();
            db.prepare("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES (?, ?, ' ')")
                .bindAll({file, sequence})
                .run();
        }

        QTableView* grid() { return list->findChild<QTableView*>("TDBGrid1"); }
        QString column(int row, int column)
        {
            return grid()->model()->index(row, column).data().toString();
        }
        QStringList names(QTableView* view = nullptr)
        {
            view = view ? view : grid();
            QStringList result;
            for (int row = 0; row < view->model()->rowCount(); ++row)
                result << view->model()->index(row, 2).data().toString();
            return result;
        }
        QTableView* lookupGrid() { return list->findChild<QTableView*>("TDBGrid4"); }
        QTabBar* tabs() { return list->findChild<QTabBar*>("SSTab1"); }
        // Writes a lookup file of one criterion into the workspace.
        void saveLookup(const char* file, const char* title, const char* field, const char* from,
                        const char* thru, const char* code, bool exclude = false)
        {
            QVERIFY(LookupFile::write(fixture.programFolder() + "INITIAL/" + file, title,
                                      {{title, field, from, thru, code, exclude}}));
        }
        int currentRow() { return grid()->currentIndex().row(); }
        QLineEdit* searchBox() { return list->findChild<QLineEdit*>("SFOR"); }
        void type(const QString& text)
        {
            searchBox()->clear();
            QTest::keyClicks(searchBox(), text);
        }
        void clickHeader(int column) { emit grid()->horizontalHeader()->sectionClicked(column); }
    };

    // Pixels of the grid's drawn rows that are plainly red.
    static int redPixels(QTableView* grid, int row)
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
    static QToolButton* scrollArrow(QTabBar* tabs, Qt::ArrowType arrow)
    {
        for (auto* button : tabs->findChildren<QToolButton*>())
            if (button->arrowType() == arrow)
                return button;
        return nullptr;
    }

private slots:
    void nineLookupsAndALongTitleStayWithinReach()
    {
        Open open;
        const QString longTitle = QString("Builders of Bucks County ").repeated(12).left(300);
        const char* files[] = {"SEARCH1.KRD", "SEARCH2.KRD", "SEARCH3.KRD",
                               "SEARCH4.KRD", "SEARCH5.KRD", "SEARCH6.KRD",
                               "SEARCH7.KRD", "SEARCH8.KRD", "UNTITLED.KRD"};
        for (int n = 0; n < 9; ++n) {
            const std::string title =
                n == 4 ? longTitle.toStdString() : "Lookup " + std::to_string(n + 1);
            open.saveLookup(files[n], title.c_str(), "Zip Code", "00000", "99999", "ZIP");
        }
        open.master.resize(800, 600);
        QVERIFY(QTest::qWaitForWindowActive(&open.master));
        open.list->SETTABS();
        QTabBar* tabs = open.tabs();
        QCOMPARE(tabs->count(), 10);
        QCOMPARE(tabs->tabText(5), longTitle);
        QCOMPARE(tabs->tabToolTip(5), longTitle);
        QVERIFY(tabs->tabRect(5).width() < tabs->width() / 2);

        // The arrows move along while tabs lie out of view.
        QToolButton* right = scrollArrow(tabs, Qt::RightArrow);
        QToolButton* left = scrollArrow(tabs, Qt::LeftArrow);
        QVERIFY(right && left);
        QVERIFY(right->isVisible());
        QVERIFY(right->isEnabled());
        QVERIFY(!left->isEnabled());
        while (right->isEnabled())
            right->click();
        QVERIFY(left->isEnabled());
        QVERIFY(tabs->rect().contains(tabs->tabRect(9)));

        // The keyboard reaches every tab from anywhere in the list.
        open.grid()->setFocus();
        QTest::keyClick(open.grid(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QTest::keyClick(open.grid(), Qt::Key_9, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 9);
        QTest::keyClick(open.lookupGrid(), Qt::Key_Backtab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs->currentIndex(), 8);
        QTest::keyClick(open.lookupGrid(), Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClick(open.lookupGrid(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 0);
        QTest::keyClick(open.grid(), Qt::Key_6, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 6);
        QTest::keyClick(open.lookupGrid(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 0);
    }

    void aWindowLeftWithoutAChangeKeepsTheSelectedCompany()
    {
        Open open;
        open.type("mil");
        open.list->SETTABS(); // as the lookup editor's Cancel does
        QCOMPARE(open.column(open.currentRow(), 2), QString("MILLER & SONS"));
        QCOMPARE(open.searchBox()->text(), QString("mil"));

        open.saveLookup("SEARCH1.KRD", "All of Springfield", "Zip Code", "00000", "99999", "ZIP");
        open.list->SETTABS();
        open.tabs()->setCurrentIndex(1);
        open.type("SMI");
        open.list->SETTABS();
        const int row = open.lookupGrid()->currentIndex().row();
        QCOMPARE(open.lookupGrid()->model()->index(row, 2).data().toString(),
                 QString("SMITH TOOL CO"));
        QCOMPARE(open.searchBox()->text(), QString("SMI"));
    }

    void anExcludedCompanyStaysRedWhenSelected()
    {
        Open open;
        open.saveLookup("SEARCH1.KRD", "All of Springfield", "Zip Code", "00000", "99999", "ZIP");
        open.list->SETTABS();
        open.tabs()->setCurrentIndex(1);
        QCOMPARE(open.lookupGrid()->currentIndex().row(), 0);
        QCOMPARE(redPixels(open.lookupGrid(), 0), 0);
        auto* mark = open.list->findChild<QPushButton*>("MarkIt");
        mark->click();
        QVERIFY(open.lookupGrid()->selectionModel()->isRowSelected(0, {}));
        QVERIFY(redPixels(open.lookupGrid(), 0) > 20);

        // On all companies the button cannot be used, and names the mark of
        // the company shown, not that of the lookup's company.
        open.tabs()->setCurrentIndex(0);
        QCOMPARE(open.column(open.currentRow(), 2), QString("acme widgets"));
        QVERIFY(!mark->isEnabled());
        QCOMPARE(mark->text(), QString("Include"));
        open.type("Zen");
        QCOMPARE(mark->text(), QString("Exclude"));
    }

    void theModsStayInPlaceWhateverFlagsShow()
    {
        Open open;
        {
            Database db(open.master.values().stateDatabasePath(),
                        open.master.values().stateConnect);
            db.execute("UPDATE PRIME SET ASSOCIATES = 1, NJAR = 9507 WHERE FILE = '1000002'");
            db.execute("UPDATE NOTES SET NOTES = 'Called' WHERE FILE = '1000002'");
        }
        open.list->SORT_SELECT(2);
        QGroupBox* mods = nullptr;
        for (auto* box : open.list->findChildren<QGroupBox*>())
            if (box->title() == "Mods")
                mods = box;
        QVERIFY(mods);
        open.type("Baker");
        const QPoint plain = mods->mapTo(open.list, QPoint(0, 0));
        const QSize plainSize = mods->size();
        open.type("acme");
        QVERIFY(open.list->findChild<QLabel*>("lblAssociated")->isVisible());
        QVERIFY(open.list->findChild<QLabel*>("lblNotes")->isVisible());
        QVERIFY(open.list->findChild<QLabel*>("lblAssignedRisk")->isVisible());
        QApplication::processEvents();
        QCOMPARE(mods->mapTo(open.list, QPoint(0, 0)), plain);
        QCOMPARE(mods->size(), plainSize);
    }

    void everyControlStaysWithinReachOnSmallScreens()
    {
        Open open;
        auto* scroll = open.list->findChild<QScrollArea*>("ListScroll");
        QVERIFY(scroll);
        // The main window as large as an 800 by 600 screen allows shows the
        // whole list.
        open.master.resize(784, 552);
        QApplication::processEvents();
        QVERIFY(!scroll->verticalScrollBar()->isVisible());
        QVERIFY(!scroll->horizontalScrollBar()->isVisible());
        const QSize needed = scroll->widget()->minimumSizeHint();

        // Smaller, the list scrolls rather than hide what it holds.
        open.master.resize(620, 360);
        QApplication::processEvents();
        QVERIFY(open.list->height() < needed.height());
        QVERIFY(scroll->verticalScrollBar()->isVisible());
        auto* search = open.list->findChild<QWidget*>("SFOR");
        scroll->ensureWidgetVisible(search);
        QVERIFY(!search->visibleRegion().isEmpty());

        // A contact longer than its box shows from its first letter.
        auto* contact = open.list->findChild<QLineEdit*>("CONTACT");
        {
            Database db(open.master.values().stateDatabasePath(),
                        open.master.values().stateConnect);
            db.execute("UPDATE PRIME SET CONTACT = 'Bartholomew Fitzgerald-Worthington, Chief "
                       "Financial Officer' WHERE FILE = '0999999'");
        }
        open.type("Baker");
        QCOMPARE(contact->cursorPosition(), 0);
        QCOMPARE(contact->toolTip(), contact->text());
    }
    void allCompaniesSortByNameCountyAndFile()
    {
        Open open;
        QCOMPARE(open.names(), QStringList({"acme widgets", "Baker Bros", "MILLER & SONS",
                                            "SMITH TOOL CO", "Zenith Labs"}));
        QCOMPARE(open.grid()->model()->headerData(2, Qt::Horizontal).toString(),
                 QString("Company Name"));
        QCOMPARE(open.grid()->model()->headerData(3, Qt::Horizontal).toString(), QString("County"));
        open.clickHeader(3);
        QCOMPARE(open.names(), QStringList({"MILLER & SONS", "SMITH TOOL CO", "acme widgets",
                                            "Zenith Labs", "Baker Bros"}));
        open.clickHeader(1);
        QCOMPARE(open.names().first(), QString("MILLER & SONS"));
        open.clickHeader(0);
        QCOMPARE(open.column(0, 0), QString("0999999"));
        QCOMPARE(open.column(4, 0) + open.column(4, 1), QString("100000301"));
        QCOMPARE(open.list->findChild<QLineEdit*>("VIEWCOUNT")->text(), QString("5"));

        // The all-companies tab has no lookup to run.
        open.list->SetUpSQL();
        QCOMPARE(open.fixture.messageTexts(), QStringList());
        QCOMPARE(open.column(4, 0) + open.column(4, 1), QString("100000301"));
    }

    void searchBoxPositionsRegardlessOfCase()
    {
        Open open;
        open.type("mi");
        QCOMPARE(open.column(open.currentRow(), 2), QString("MILLER & SONS"));
        open.type("Z");
        QCOMPARE(open.column(open.currentRow(), 2), QString("Zenith Labs"));
        open.type("b");
        QCOMPARE(open.column(open.currentRow(), 2), QString("Baker Bros"));
        // After a click on the County header the search goes by county name.
        open.clickHeader(3);
        QCOMPARE(open.searchBox()->text(), QString());
        open.type("c");
        QCOMPARE(open.column(open.currentRow(), 3), QString("Chester"));
        open.type("b");
        QCOMPARE(open.column(open.currentRow(), 3), QString("Bucks"));
    }

    void searchBoxFollowsTheOrderOfTheGrid()
    {
        Open open;
        {
            Database db(open.master.values().stateDatabasePath(),
                        open.master.values().stateConnect);
            Open::add(db, "2000001", "01", "MILLER_JONES", "", "Adams", "17325", "");
            Open::add(db, "2000002", "01", "MILLERS MILL", "", "Adams", "17325", "");
        }
        open.list->SORT_SELECT(2);
        QCOMPARE(open.names().mid(2, 3),
                 QStringList({"MILLER & SONS", "MILLER_JONES", "MILLERS MILL"}));
        open.type("millers");
        QCOMPARE(open.column(open.currentRow(), 2), QString("MILLERS MILL"));
        open.type("miller_");
        QCOMPARE(open.column(open.currentRow(), 2), QString("MILLER_JONES"));
    }

    void typingInAGridSearchesFromTheSearchBox()
    {
        Open open;
        open.grid()->setFocus();
        QTest::keyClicks(open.grid(), "mi");
        QCOMPARE(open.searchBox()->text(), QString("mi"));
        QCOMPARE(open.column(open.currentRow(), 2), QString("MILLER & SONS"));
        QTest::keyClick(open.searchBox(), Qt::Key_Backspace);
        QTest::keyClick(open.searchBox(), Qt::Key_Backspace);
        QTest::keyClicks(open.searchBox(), "z");
        QCOMPARE(open.column(open.currentRow(), 2), QString("Zenith Labs"));

        // Keys that move in the grid still do.
        open.grid()->setFocus();
        QTest::keyClick(open.grid(), Qt::Key_Up);
        QCOMPARE(open.column(open.currentRow(), 2), QString("SMITH TOOL CO"));
        QCOMPARE(open.searchBox()->text(), QString("z"));
    }

    void rendersTheSelectedCompany()
    {
        Open open;
        auto* address = open.list->findChild<QPlainTextEdit*>("ADDRESS");
        QCOMPARE(address->toPlainText(),
                 QString("acme widgets\nDBA ACME\n12 MAIN ST\nSPRINGFIELD, PA  18901-1234"));
        open.type("smith");
        QCOMPARE(address->toPlainText(),
                 QString("SMITH TOOL CO\n12 MAIN ST\nSPRINGFIELD, PA  19064"));
        // A user phone of blanks does not hide the delivered one.
        QCOMPARE(open.list->findChild<QLineEdit*>("PHONE")->text(), QString("215-555-0100"));
        auto* mods = open.list->findChild<QTableView*>("TDBGrid2")->model();
        QCOMPARE(mods->rowCount(), 2);
        QCOMPARE(mods->index(0, 1).data().toString(), QString("03/01/24"));
        QCOMPARE(mods->index(0, 3).data().toString(), QString("1.050"));
        QCOMPARE(mods->headerData(3, Qt::Horizontal).toString(), QString("MOD"));
        QCOMPARE(open.list->findChild<QLabel*>("lblModTrend")->text(),
                 QString("Latest mod 1.050, +0.100 from the prior mod, 1 year over 1.00"));
        QVERIFY(open.list->findChild<QLabel*>("lblNotes")->isHidden());

        {
            Database db(open.master.values().stateDatabasePath(),
                        open.master.values().stateConnect);
            db.execute("UPDATE NOTES SET NOTES = 'call in May' WHERE FILE = '1000001'");
        }
        open.list->refreshCompany();
        QVERIFY(!open.list->findChild<QLabel*>("lblNotes")->isHidden());
    }

    void toolbarFollowsTheSelectedTab()
    {
        Open open;
        open.list->SETBUTTONS(open.list);
        QVERIFY(!open.master.isCommandEnabled("SSRibbon1_4"));
        QVERIFY(!open.master.isCommandEnabled("mnuPrintSearch"));
        QVERIFY(open.master.isCommandEnabled("SSRibbon1_3"));
        // An empty lookup tab cannot be opened.
        auto* tabs = open.list->findChild<QTabBar*>("SSTab1");
        tabs->setCurrentIndex(3);
        QCOMPARE(tabs->currentIndex(), 0);
    }

    void lookupTabsShowTheirCompanies()
    {
        Open open;
        open.saveLookup("SEARCH1.KRD", "Bucks and Chester", "Zip Code", "18000", "19399", "ZIP");
        open.saveLookup("SEARCH2.KRD", "Nothing", "Zip Code", "99000", "99999", "ZIP");
        open.saveLookup("SEARCH3.KRD", "Not Bucks", "Zip Code", "18901", "18901", "ZIP", true);
        open.list->SETTABS();
        QCOMPARE(open.tabs()->tabText(1), QString("Bucks and Chester"));
        QCOMPARE(open.tabs()->tabText(3), QString("Not Bucks"));
        QCOMPARE(open.tabs()->tabText(4), QString());

        open.tabs()->setCurrentIndex(1);
        QCOMPARE(open.names(open.lookupGrid()),
                 QStringList({"acme widgets", "SMITH TOOL CO", "Zenith Labs"}));
        QCOMPARE(open.list->findChild<QLineEdit*>("VIEWCOUNT")->text(), QString("3"));
        QVERIFY(open.master.isCommandEnabled("SSRibbon1_3"));
        QVERIFY(!open.master.isCommandEnabled("mnuEditSearch"));
        auto* model = open.lookupGrid()->model();
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QString("Effective"));
        QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), QString("Expires"));

        // File order, the Effective header changing nothing, then name order again.
        emit open.lookupGrid()->horizontalHeader()->sectionClicked(0);
        QCOMPARE(model->index(0, 0).data().toString(), QString("1000001"));
        QCOMPARE(model->index(2, 1).data().toString(), QString("02"));
        emit open.lookupGrid()->horizontalHeader()->sectionClicked(1);
        QCOMPARE(model->index(0, 0).data().toString(), QString("1000001"));
        emit open.lookupGrid()->horizontalHeader()->sectionClicked(2);
        QCOMPARE(model->index(0, 2).data().toString(), QString("acme widgets"));

        // A lookup that selects nothing leaves the row buttons disabled.
        open.tabs()->setCurrentIndex(2);
        QCOMPARE(open.lookupGrid()->model()->rowCount(), 0);
        QCOMPARE(open.list->findChild<QLineEdit*>("VIEWCOUNT")->text(), QString("0"));
        for (const char* button : {"Command1", "FULLADDR", "PRINTCUR", "MarkIt"})
            QVERIFY2(!open.list->findChild<QPushButton*>(button)->isEnabled(), button);

        open.tabs()->setCurrentIndex(3);
        QCOMPARE(open.names(open.lookupGrid()),
                 QStringList({"Baker Bros", "MILLER & SONS", "SMITH TOOL CO", "Zenith Labs"}));
    }

    void aMarkShowsRedOnEveryLookupTab()
    {
        Open open;
        open.saveLookup("SEARCH1.KRD", "All of Springfield", "Zip Code", "00000", "99999", "ZIP");
        open.saveLookup("SEARCH2.KRD", "Miller", "Company Name", "MILLER", "MILLERZ", "NAME1");
        open.list->SETTABS();
        open.tabs()->setCurrentIndex(1);
        open.list->findChild<QLineEdit*>("SFOR")->clear();
        QTest::keyClicks(open.list->findChild<QLineEdit*>("SFOR"), "MIL");
        const int row = open.lookupGrid()->currentIndex().row();
        QCOMPARE(open.lookupGrid()->model()->index(row, 2).data().toString(),
                 QString("MILLER & SONS"));
        auto* mark = open.list->findChild<QPushButton*>("MarkIt");
        QCOMPARE(mark->text(), QString("Exclude"));
        mark->click();
        QCOMPARE(mark->text(), QString("Include"));
        QCOMPARE(open.lookupGrid()
                     ->model()
                     ->index(row, 2)
                     .data(Qt::ForegroundRole)
                     .value<QBrush>()
                     .color(),
                 QColor(255, 0, 0));

        open.tabs()->setCurrentIndex(2);
        QCOMPARE(open.names(open.lookupGrid()), QStringList({"MILLER & SONS"}));
        QCOMPARE(open.lookupGrid()
                     ->model()
                     ->index(0, 2)
                     .data(Qt::ForegroundRole)
                     .value<QBrush>()
                     .color(),
                 QColor(255, 0, 0));
        QCOMPARE(mark->text(), QString("Include"));
        mark->click();
        Database db(open.master.values().stateDatabasePath(), open.master.values().stateConnect);
        QCOMPARE(QueryRecordSet(db, "SELECT Omit FROM PRIME WHERE FILE = '1000003'")
                     .field("Omit")
                     .toString(),
                 std::string(" "));
    }

    void gridsCarryAHiddenOmitColumn()
    {
        Open open;
        open.saveLookup("SEARCH1.KRD", "Bucks", "Zip Code", "18901", "18901", "ZIP");
        open.list->SETTABS();
        open.tabs()->setCurrentIndex(1);
        for (QTableView* grid : {open.grid(), open.lookupGrid()}) {
            QCOMPARE(grid->model()->columnCount(), 5);
            QCOMPARE(grid->model()->headerData(4, Qt::Horizontal).toString(), QString("Omit"));
            QVERIFY(grid->isColumnHidden(4));
            QCOMPARE(grid->model()->index(0, 4).data().toString(), QString(" "));
        }
        open.list->findChild<QPushButton*>("MarkIt")->click();
        QCOMPARE(open.lookupGrid()->model()->index(0, 4).data().toString(), QString("Y"));
        QVERIFY(open.lookupGrid()->isColumnHidden(4));
    }

    void aLookupTabWithoutItsFileDisablesEveryLookupCommand()
    {
        Open open;
        open.saveLookup("SEARCH1.KRD", "Bucks", "Zip Code", "18901", "18901", "ZIP");
        open.list->SETTABS();
        open.tabs()->setCurrentIndex(1);
        QVERIFY(open.master.isCommandEnabled("SSRibbon1_3"));
        // The lookup file goes while its tab is shown; the table no longer names it.
        QVERIFY(QFile::remove(QString::fromStdString(open.fixture.programFolder()) +
                              "INITIAL/SEARCH1.KRD"));
        open.list->lookupTabs().SETTABS(0);
        open.list->SETBUTTONS(open.list);
        for (int button = 0; button < 10; ++button)
            QVERIFY2(!open.master.isCommandEnabled(QString("SSRibbon1_%1").arg(button)),
                     qPrintable(QString::number(button)));
        for (const char* item : {"mnuEditSearch", "mnuPrintSearch", "mnuExport", "mnuUpdate"})
            QVERIFY2(!open.master.isCommandEnabled(item), item);
        QVERIFY(open.master.isCommandEnabled("mnuNewSearch"));

        // Another window than the list enables everything again.
        open.list->SETBUTTONS(&open.master);
        QVERIFY(open.master.isCommandEnabled("SSRibbon1_3"));
        QVERIFY(open.master.isCommandEnabled("mnuEditSearch"));
    }

    void aLookupGoneFromTheFolderShowsAllCompaniesWithoutRunningAnother()
    {
        Open open;
        open.saveLookup("SEARCH1.KRD", "Everyone", "New Records", "", "", "NEWREC");
        open.saveLookup("SEARCH2.KRD", "Bucks", "Zip Code", "18901", "18901", "ZIP");
        open.list->SETTABS();
        open.tabs()->setCurrentIndex(2);
        QCOMPARE(open.names(open.lookupGrid()), QStringList({"acme widgets"}));
        QVERIFY(QFile::remove(QString::fromStdString(open.fixture.programFolder()) +
                              "INITIAL/SEARCH2.KRD"));
        open.list->SETTABS();
        QCOMPARE(open.tabs()->currentIndex(), 0);
        QVERIFY(!open.tabs()->isTabVisible(2));
        // The lookup of tab 1 was not run on the way: it would have said so.
        QCOMPARE(open.fixture.messageTexts(), QStringList());
        QCOMPARE(open.list->findChild<QLineEdit*>("VIEWCOUNT")->text(), QString("5"));
    }

    void moreInfoOpensTheSelectedCompany()
    {
        Open open;
        open.type("zen");
        QString caption;
        open.fixture.onModal<KRLISTI>([&caption](KRLISTI* record) {
            caption = record->windowTitle();
            record->close();
        });
        open.list->findChild<QPushButton*>("Command1")->click();
        QCOMPARE(caption, QString("KRLISTI - Zenith Labs"));
    }

    void allCompaniesShowWhatWasStoredOnALookupTab()
    {
        Open open;
        open.saveLookup("SEARCH1.KRD", "Bucks", "Zip Code", "18901", "18901", "ZIP");
        open.list->SETTABS();
        auto* phone = open.list->findChild<QLineEdit*>("PHONE");
        QCOMPARE(open.column(open.currentRow(), 2), QString("acme widgets"));
        QCOMPARE(phone->text(), QString());

        open.tabs()->setCurrentIndex(1);
        open.fixture.onModal<KRLISTI>([](KRLISTI* record) {
            auto* userPhone = record->findChild<QLineEdit*>("UserPhone");
            userPhone->setFocus(Qt::MouseFocusReason);
            userPhone->setText("215-555-0177");
            record->findChild<QPushButton*>("Command1")->click();
        });
        open.list->findChild<QPushButton*>("Command1")->click();
        QCOMPARE(phone->text(), QString("215-555-0177"));

        open.tabs()->setCurrentIndex(0);
        QCOMPARE(open.column(open.currentRow(), 2), QString("acme widgets"));
        QCOMPARE(phone->text(), QString("215-555-0177"));
    }

    void theSummaryFollowsWhatTheRecordWindowStored()
    {
        Open open;
        open.type("zen");
        QVERIFY(open.list->findChild<QLabel*>("lblNotes")->isHidden());
        open.fixture.onModal<KRLISTI>([](KRLISTI* record) {
            record->findChild<QPlainTextEdit*>("NOTES")->setPlainText("Quote sent");
            auto* phone = record->findChild<QLineEdit*>("UserPhone");
            phone->setFocus(Qt::MouseFocusReason);
            phone->setText("610-555-0123");
            record->findChild<QPushButton*>("Command1")->click();
        });
        open.list->findChild<QPushButton*>("Command1")->click();
        QVERIFY(!open.list->findChild<QLabel*>("lblNotes")->isHidden());
        QCOMPARE(open.list->findChild<QLineEdit*>("PHONE")->text(), QString("610-555-0123"));
    }

    void accessKeysDoNotClashWithTheMenus()
    {
        Open open;
        // The list sits in the main window, so one Alt key must not name both
        // a menu and one of its boxes or buttons.
        auto key = [](const QString& text) {
            const qsizetype at = text.indexOf('&');
            return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toUpper() : QChar();
        };
        QStringList keys;
        for (QAction* menu : open.master.menuBar()->actions())
            keys << key(menu->text());
        for (QLabel* label : open.list->findChildren<QLabel*>())
            if (label->buddy() && !key(label->text()).isNull())
                keys << key(label->text());
        for (QAbstractButton* button : open.list->findChildren<QAbstractButton*>())
            if (!key(button->text()).isNull())
                keys << key(button->text());
        QCOMPARE(keys.removeDuplicates(), 0);
        QVERIFY(keys.contains("S"));
        bool searchLabelled = false;
        for (QLabel* label : open.list->findChildren<QLabel*>())
            searchLabelled |= label->buddy() == open.list->findChild<QLineEdit*>("SFOR");
        QVERIFY(searchLabelled);
    }

    void newYorkAndMeritColumns()
    {
        Open newYork("NY");
        auto* mods = newYork.list->findChild<QTableView*>("TDBGrid2");
        QCOMPARE(mods->model()->headerData(2, Qt::Horizontal).toString(), QString("Anniversary"));
        QVERIFY(mods->isColumnHidden(1));
        QVERIFY(!newYork.list->findChild<QPushButton*>("FULLADDR")->isHidden());

        Open merit("PM");
        QCOMPARE(merit.list->findChild<QTableView*>("TDBGrid2")
                     ->model()
                     ->headerData(3, Qt::Horizontal)
                     .toString(),
                 QString("Merit Class"));
        QVERIFY(merit.list->findChild<QPushButton*>("FULLADDR")->isHidden());
    }

    void copySqlPutsEachLookupStatementOnTheClipboard()
    {
        Open open;
        open.saveLookup("SEARCH1.KRD", "Bucks", "Zip Code", "18901", "18901", "ZIP");
        open.list->SETTABS();
        QGuiApplication::clipboard()->setText("before");
        open.tabs()->setCurrentIndex(1);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
        QVERIFY(open.fixture.messageTexts().isEmpty());

        open.tabs()->setCurrentIndex(0);
        open.master.findChild<QAction*>("mnuSQLcopy")->trigger();
        open.tabs()->setCurrentIndex(1);
        const QString statement = QGuiApplication::clipboard()->text();
        QVERIFY2(statement.startsWith("SELECT * FROM PRIME WHERE "), qPrintable(statement));
        QVERIFY(statement.contains("18901"));
        QCOMPARE(open.fixture.messageTexts(), QStringList({statement}));
    }
};

QTEST_MAIN(KRLISTTest)
#include "KRLISTTest.moc"
