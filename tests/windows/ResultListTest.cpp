#include "ResultsFixture.h"

#include "lookup/FieldCatalogue.h"
#include "lookup/LookupFile.h"
#include "results/NoteLock.h"
#include "shell/KRWSPACE.h"
#include "windows/KREDDEL.h"
#include "windows/KRLISTI.h"
#include "windows/KRLOOKUP.h"
#include "windows/KRNYADDR.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QComboBox>
#include <QListWidget>

#include <filesystem>
#include <fstream>
#include <memory>

using namespace kora;
using namespace kora::test;
using Field = FieldCatalogue::Position;

namespace {

// Drives a company's record window as a user would. Boxes are named by the
// field they show ("User1", "UserPhone", "SIC"...).
struct RecordWindow
{
    KRLISTI* window;

    template <typename T> T* child(const char* name) const { return named<T>(window, name); }
    QLineEdit* box(const char* field) const { return child<QLineEdit>(field); }
    QString text(const char* field) const { return box(field)->text(); }
    QStringList texts(std::initializer_list<const char*> fields) const
    {
        QStringList shown;
        for (const char* field : fields)
            shown << text(field);
        return shown;
    }
    QString label(const char* name) const { return child<QLabel>(name)->text(); }
    QPlainTextEdit* notes() const { return child<QPlainTextEdit>("NOTES"); }
    QString dateAdded() const { return label("lblToday"); }
    QTableView* classes() const { return child<QTableView>("TDBGrid7"); }
    QTableView* associates() const { return child<QTableView>("TDBGrid8"); }
    void close() const { child<QPushButton>("Command1")->click(); }

    // Moves the focus into a control as a click would.
    static void enter(QWidget* widget) { widget->setFocus(Qt::MouseFocusReason); }
    // Types over a box's text, as a user who clicked into it.
    void type(const char* field, const QString& text) const
    {
        enter(box(field));
        box(field)->selectAll();
        if (text.isEmpty())
            QTest::keyClick(box(field), Qt::Key_Delete);
        else
            QTest::keyClicks(box(field), text);
    }
};

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
            data.addCompany(
                file, sequence,
                "STATE, NAME1, NameSort, STREET, CITY, ST, ZIP, COUNTYNAME, CountySort, Omit",
                {"PA", name, name, "12 MAIN ST", "SPRINGFIELD", "PA", zip, county, county, " "});
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
    // Writes a one-criterion lookup into the workspace and shows the tabs again.
    void saveLookup(const char* file, const std::string& title, const char* from, const char* thru,
                    bool exclude = false, const char* field = "ZIP")
    {
        QVERIFY(LookupFile::write(lookupPath(file).toStdString(), title,
                                  {{title, "", from, thru, field, exclude}}));
        page.list->SETTABS();
    }
    QColor nameColour(int row) const
    {
        return page.grid()->model()->index(row, 2).data(Qt::ForegroundRole).value<QBrush>().color();
    }
};

// The tests run under the C locale, which has no date format of its own.
QString today()
{
    return QDate::currentDate().toString("MM/dd/yy");
}

// An NJ database with a company of two sequences (ACME), one of another file,
// and the record window shown on one of them.
struct Record
{
    ResultsFixture data{"NJ"};
    std::unique_ptr<KRLISTI> window;
    RecordWindow page{nullptr};

    Record()
    {
        data.db().execute("INSERT INTO SICCODES (CODE, DESC) VALUES "
                          "('3599', 'Industrial Machinery, NEC')");
        data.db().execute("INSERT INTO CLASS (FILE, SEQUENCE, FILESEQ, CLASS, CLASSDESC, "
                          "LOSSCOST) VALUES ('1000001', '01', '100000101', '8810', "
                          "'Clerical Office Employees', 0.12), ('1000001', '01', '100000101', "
                          "'3632', 'Machine Shop NOC', 2.5), ('1000001', '02', '100000102', "
                          "'8742', 'Salespersons', 0.3)");
        data.addCompany("1000001", "01", "NAME1", {"ACME TOOL CO"}, "Called in March");
        data.db().execute(
            "UPDATE PRIME SET NAME2 = ' ', STREET = '12 MILL RD', CITY = 'TRENTON', ST = 'NJ', "
            "ZIP = '08601', ZIPEXT = ' ', PHONE = '609-555-0100', SIC = '3599', EMPLOYEES = '4', "
            "SALES = '2', NJAR = 9507, ARESTPREM = '0012500', ARTOTPREM = '0102384', ARTOTLOSS = "
            "'0000000', NJPPAP = 'Y', NJCCPAP = 'N', User1 = ' ', User2 = ' ', User3 = ' ', "
            "UserPhone = '609-555-0199' WHERE FILESEQ = '100000101'");
        data.addCompany("1000001", "02", "NAME1, SIC", {"ACME TOOL SALES", "1234"});
        data.db().execute("UPDATE PRIME SET EMPLOYEES = 'X', SALES = '9', NJAR = 312 "
                          "WHERE FILESEQ = '100000102'");
        data.addCompany("1000002", "01", "NAME1, EMPLOYEES, SALES", {"OTHER WORKS", "9", "0"});
    }

    KRLISTI* show(const char* file = "1000001")
    {
        window = std::make_unique<KRLISTI>(data.list(), file, "01", "ACME TOOL CO");
        page.window = window.get();
        window->show();
        return window.get();
    }
    bool open(const char* file = "1000001") { return QTest::qWaitForWindowActive(show(file)); }
    Value field(const char* name) { return data.field("1000001", "01", name); }
    QString fields(std::initializer_list<const char*> names)
    {
        QStringList values;
        for (const char* name : names)
            values << QString::fromStdString(field(name).toString());
        return values.join('|');
    }
    bool noteFree() { return NoteLock(data.db()).tryLock("1000001", "01"); }
    void leave() const { RecordWindow::enter(page.box("UserFax")); }
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
                                 "STATE, NAME1, NameSort, ZIP, COUNTY, SIC, MOD, Omit",
                                 {state, name, name, zip, county, sic, mod, " "});
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
    QTabBar* tabs() { return page().tabs(); }
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

// Drives the lookup editor through its controls as a user would.
struct LookupEditor
{
    KRLOOKUP* window;

    template <typename T> T* child(const char* name) const { return named<T>(window, name); }
    QLineEdit* title() const { return child<QLineEdit>("SEARCHDESC"); }
    QListWidget* fields() const { return child<QListWidget>("List1"); }
    QLineEdit* from() const { return child<QLineEdit>("FROM"); }
    QLineEdit* thru() const { return child<QLineEdit>("THRU"); }
    QLineEdit* searchFor() const { return child<QLineEdit>("SFOR"); }
    QTableView* pickList() const { return child<QTableView>("TDBGrid5"); }
    QTableView* criteriaGrid() const { return child<QTableView>("TDBGrid3"); }
    QString count() const { return child<QLabel>("lblCount")->text(); }
    QRadioButton* includeOption() const { return child<QRadioButton>("SQLINCLUDE"); }
    QRadioButton* excludeOption() const { return child<QRadioButton>("SQLEXCLUDE"); }
    void accept() const { child<QPushButton>("ADD")->click(); }
    void ok() const { child<QPushButton>("OK")->click(); }
    void deleteCriterion() const { child<QPushButton>("DELETE")->click(); }

    // Clicks a field of the field list.
    void choose(int position) const
    {
        QListWidgetItem* item = fields()->item(position);
        fields()->scrollToItem(item);
        QTest::mouseClick(fields()->viewport(), Qt::LeftButton, {},
                          fields()->visualItemRect(item).center());
    }
    // Replaces a box's text by typing.
    static void type(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }
    // Chooses a field, types its From and accepts it.
    void add(int position, const QString& from) const
    {
        choose(position);
        type(this->from(), from);
        accept();
    }
    QStringList pickColumn(int column) const { return gridRows(pickList(), {column}); }
    // The criteria grid, one "Field|Selection|Include" text per row.
    QStringList criteria() const { return gridRows(criteriaGrid(), {0, 1, 2}); }
    void sortPickList(int column) const
    {
        emit pickList()->horizontalHeader()->sectionClicked(column);
    }
    int pickRow() const { return pickList()->currentIndex().row(); }
    // Clicks the pick-list row holding a code.
    void pick(const QString& code) const
    {
        const int row = static_cast<int>(pickColumn(0).indexOf(code));
        QVERIFY2(row >= 0, qPrintable(code));
        const QModelIndex index = pickList()->model()->index(row, 1);
        pickList()->scrollTo(index);
        QTest::mouseClick(pickList()->viewport(), Qt::LeftButton, {},
                          pickList()->visualRect(index).center());
    }
};

// The editor opened as New Search opens it, without a modal loop.
struct OpenEditor
{
    StartedFixture app;
    std::unique_ptr<KRLOOKUP> window;
    LookupEditor editor{nullptr};

    explicit OpenEditor(const std::string& state = "PA")
        : app(state), window(app.showEditor()), editor{window.get()}
    {
    }
    QString range() const { return editor.from()->text() + '-' + editor.thru()->text(); }
};

// Drives the Edit/Delete window as a user would.
struct LookupList
{
    KREDDEL* window;

    QListWidget* list() const { return named<QListWidget>(window, "List1"); }
    void edit() const { named<QPushButton>(window, "Command1")->click(); }
    void remove() const { named<QPushButton>(window, "Command2")->click(); }
    QStringList entries() const { return gridRows(list(), {0}); }
};

// Three lookups, the second titled with blanks; Edit Search runs a script on the window.
struct Lookups
{
    StartedFixture app;
    std::function<void(const LookupList&)> script;

    Lookups()
    {
        app.writeLookup("SEARCH1.KRD", "Roofers", {"", "SIC Code", "1761", "1761", "SIC", false});
        app.writeLookup("SEARCH2.KRD", "   ", {"", "County", "09", "09", "COUNTY", false});
        app.writeLookup("SEARCH3.KRD", "Bakers", {"", "SIC Code", "2051", "2051", "SIC", false});
        std::ofstream(app.workspaceFile("SEARCH2.XCL")) << "excluded";
        app.list().SETTABS();
        app.onModal<KREDDEL>([this](KREDDEL* window) {
            script(LookupList{window});
            if (window->isVisible())
                window->reject();
        });
    }
    void editSearch(std::function<void(const LookupList&)> run)
    {
        script = std::move(run);
        app.master().findChild<QAction*>("mnuEditSearch")->trigger();
    }
    QStringList tabTexts()
    {
        QStringList captions;
        for (int tab = 1; tab < app.tabs()->count(); ++tab)
            captions << app.tabs()->tabText(tab);
        return captions;
    }
};

} // namespace

// The result list, the windows it opens on a company (its record and its
// full New York address), and the lookup editor that fills its tabs.
class ResultListTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::system()); }

    void theRecordShowsTheCompanyDatesEachNoteAndStoresWhatIsTyped()
    {
        Record record;
        QVERIFY(record.open());
        const RecordWindow& page = record.page;
        QCOMPARE(page.texts({"Text2", "Text3", "Text4", "PPAP", "NJCCPAP", "STREET", "UserPhone",
                             "PHONE", "SIC", "EMPLOYEES", "SALES", "Text1"}),
                 QStringList({"12,500", "102,384", "0", "Y", "N", "12 MILL RD", "609-555-0199",
                              "609-555-0100", "3599 - Industrial Machinery, NEC", "20 - 49",
                              "1MM - 4.9MM", "07/95"}));
        QCOMPARE(page.notes()->toPlainText(), QString("Called in March"));
        QCOMPARE(page.dateAdded(), today());
        QVERIFY(page.box("PHONE")->isReadOnly() && !page.box("UserFax")->isReadOnly());
        QCOMPARE(gridRows(page.classes(), {0}) + gridRows(page.classes(), {2}),
                 QStringList({"3632", "8810", "2.50", "0.12"}));
        QCOMPARE(gridRows(page.associates(), {0}),
                 QStringList({"ACME TOOL CO", "ACME TOOL SALES"}));

        // Each time the notes are entered a dated line starts them.
        QPlainTextEdit* notes = page.notes();
        const QString dated = today() + " - ";
        QTest::mouseClick(notes->viewport(), Qt::LeftButton);
        QCOMPARE(notes->textCursor().position(), dated.size());
        QTest::keyClicks(notes, "sent quote");
        record.leave();
        RecordWindow::enter(notes);
        QCOMPARE(notes->toPlainText(), dated + "\n" + dated + "sent quote\nCalled in March");

        page.type("UserPhone", "");
        page.type("UserContact", "  Jane Roe  ");
        page.type("UserTitle", "Buyer");
        QCOMPARE(record.field("UserPhone"), Value());
        QCOMPARE(record.field("UserContact"), Value("Jane Roe"));
        // User fields 1 to 3 lose their blanks as the focus enters them.
        page.box("User3")->setText("  Springfield  ");
        RecordWindow::enter(page.box("User3"));
        QCOMPARE(page.text("User3"), QString("Springfield"));
        QCOMPARE(record.field("UserTitle"), Value("Buyer"));
        // The box being typed in when the window is closed with Escape is stored too.
        page.type("UserFax", "609-555-0142");
        QTest::keyClick(page.box("UserFax"), Qt::Key_Escape);
        QVERIFY(!record.window->isVisible());
        QCOMPARE(record.fields({"UserFax", "User3"}), QString("609-555-0142|Springfield"));
        QVERIFY(record.data.messages().isEmpty());
        // Bands unknown or out of the tables show as such.
        QVERIFY(record.open("1000002"));
        QCOMPARE(page.texts({"SIC", "EMPLOYEES", "SALES", "Text1"}),
                 QStringList({"", "1000+", "Unknown", "/"}));
        QCOMPARE(gridRows(page.classes(), {0}), QStringList());

        // Dates follow the locale.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Record german;
        QVERIFY(german.open());
        RecordWindow::enter(german.page.notes());
        QLocale::setDefault(QLocale::c());
        const QString date = QDate::currentDate().toString("dd.MM.yy");
        QCOMPARE(german.page.notes()->toPlainText(), date + " - \nCalled in March");
        QCOMPARE(german.page.dateAdded(), date);
    }

    void addressOverrideReplacesTheAddressOrSaysWhatIsMissing()
    {
        Record record;
        QVERIFY(record.open());
        const RecordWindow& page = record.page;
        page.type("User1", "!&");
        QCOMPARE(page.label("lblUser2") + '|' + page.label("lblUser3"),
                 QString("Street|City St Zip"));
        page.type("User2", "");
        RecordWindow::enter(page.box("User3"));
        QCOMPARE(record.window->focusWidget(), page.box("User2"));
        page.type("User2", "100 Main St");
        page.type("User3", "Springfield PA");
        record.leave();
        QCOMPARE(record.data.messageTexts(),
                 QStringList(
                     {"Missing Street Address", "Missing Zip Code, Format Must be City ST Zip"}));
        QCOMPARE(record.window->focusWidget(), page.box("User3"));
        QCOMPARE(record.fields({"CITY", "User3"}), QString("TRENTON|Springfield PA"));

        page.type("User3", "Springfield PA 19064-1234");
        record.leave();
        QCOMPARE(record.fields({"STREET", "CITY", "ST", "ZIP", "ZIPEXT"}),
                 QString("100 Main St|Springfield|PA|19064|1234"));
        QCOMPARE(page.text("CITY"), QString("Springfield"));
        // Without an extension the old one is gone.
        page.type("User3", "Trenton NJ 08601");
        record.leave();
        QCOMPARE(record.field("CITY"), Value("Trenton"));
        QCOMPARE(record.field("ZIPEXT"), Value());
        // Removing the marker relabels at once and stops the copying.
        page.type("User1", "Prospect");
        page.type("User2", "200 Other Rd");
        record.leave();
        QCOMPARE(record.fields({"User2", "STREET"}), QString("200 Other Rd|100 Main St"));
        QCOMPARE(record.data.messageTexts().size(), 2);
    }

    void theNoteIsLockedWhileShownAndStoredOnLeaving()
    {
        // Left by Close, by closing the list, by picking an associate.
        for (int leaving : {0, 1, 2}) {
            Record record;
            if (leaving == 0) {
                // Held by another user the note is not shown: the window closes at once.
                NoteLock other(record.data.db());
                QVERIFY(other.tryLock("1000001", "01"));
                record.show();
                QCOMPARE(record.data.messageTexts(),
                         QStringList({"Another user is working with data which affects your "
                                      "notes.  Try again later to view your information."}));
                QTRY_VERIFY(!record.window->isVisible());
                QCOMPARE(record.data.note("1000001", "01"), Value("Called in March"));
            }
            QVERIFY(record.open());
            QCOMPARE(record.page.notes()->toPlainText(), QString("Called in March"));
            record.page.notes()->setPlainText("left open");
            QVERIFY(!record.noteFree());
            if (leaving == 0) {
                record.page.close();
            } else if (leaving == 1) {
                record.data.list().close();
            } else {
                QTableView* associates = record.page.associates();
                QTest::mouseClick(
                    associates->viewport(), Qt::LeftButton, {},
                    associates->visualRect(associates->model()->index(1, 0)).center());
                QCOMPARE(record.window->result(), int(QDialog::Accepted));
            }
            QVERIFY(!record.window->isVisible());
            QCOMPARE(record.data.note("1000001", "01"), Value("left open"));
            QVERIFY(record.noteFree());
        }
    }

    void sortAndSearchGoByTheColumnClickedAndTheGridShown()
    {
        const QStringList byName = {"acme widgets", "Baker Bros",   "MILLER & SONS",
                                    "MILLER_JONES", "MILLERS MILL", "SMITH TOOL CO",
                                    "Zenith Labs"};
        const struct
        {
            int header;
            QStringList order;
            QString typed, found;
        } cases[] = {{2, byName, "mi", "MILLER & SONS"},
                     {2, byName, "millers", "MILLERS MILL"},
                     {2, byName, "miller_", "MILLER_JONES"},
                     {2, byName, "zz", "Zenith Labs"},
                     // The Effective header sorts nothing.
                     {1, byName, "b", "Baker Bros"},
                     {3,
                      {"MILLER & SONS", "SMITH TOOL CO", "MILLER_JONES", "MILLERS MILL",
                       "acme widgets", "Zenith Labs", "Baker Bros"},
                      "c",
                      "Zenith Labs"},
                     {0,
                      {"Baker Bros", "SMITH TOOL CO", "acme widgets", "Zenith Labs",
                       "MILLER & SONS", "MILLER_JONES", "MILLERS MILL"},
                      "1000003",
                      "MILLER & SONS"}};
        Open open;
        ResultList& list = open.page;
        QAbstractItemModelTester tester(list.allGrid()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const auto& [header, order, typed, found] : cases) {
            list.search("x");
            list.clickHeader(header);
            QCOMPARE(list.searchBox()->text().isEmpty(), header != 1);
            QCOMPARE(list.column(), order);
            list.search(typed);
            QCOMPARE(list.current(), found);
            QCOMPARE(list.count(), QString("7"));
        }

        // Typing in the grid goes to the search box; the keys that move still move.
        list.clickHeader(2);
        list.grid()->setFocus();
        QTest::keyClicks(list.grid(), "mi");
        QCOMPARE(list.current(), QString("MILLER & SONS"));
        list.list->SETTABS(); // as the lookup editor's Cancel does
        QCOMPARE(list.current(), QString("MILLER & SONS"));
        list.grid()->setFocus();
        QTest::keyClick(list.grid(), Qt::Key_Up);
        QCOMPARE(list.current(), QString("Baker Bros"));
        QCOMPARE(list.searchBox()->text(), QString("mi"));
        // On a lookup tab the search moves that tab's grid, which a window left unchanged keeps.
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
        MASTER& master = open.data.master();
        open.saveLookup("SEARCH1.KRD", "Bucks and Chester", "18000", "19399");
        open.saveLookup("SEARCH2.KRD", "Nothing", "99000", "99999");
        open.saveLookup("SEARCH3.KRD", "Not Bucks", "18901", "18901", true);
        QCOMPARE(list.tabs()->tabText(3), QString("Not Bucks"));
        list.openTab(1);
        QCOMPARE(list.column(), QStringList({"acme widgets", "SMITH TOOL CO", "Zenith Labs"}));
        QCOMPARE(list.count(), QString("3"));
        QVERIFY(master.isCommandEnabled("SSRibbon1_4"));
        QVERIFY(!master.isCommandEnabled("mnuEditSearch"));
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
        QVERIFY(!master.isCommandEnabled("SSRibbon1_3"));
        list.list->SETBUTTONS(&master);
        QVERIFY(master.isCommandEnabled("SSRibbon1_3"));
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

        // Copy SQL puts the statement of each lookup run from then on on the clipboard.
        QGuiApplication::clipboard()->setText("before");
        list.openTab(1);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
        list.openTab(0);
        master.findChild<QAction*>("mnuSQLcopy")->trigger();
        list.openTab(1);
        const QString statement = QGuiApplication::clipboard()->text();
        QVERIFY2(statement.startsWith("SELECT * FROM PRIME WHERE "), qPrintable(statement));
        QVERIFY(statement.contains("18000"));
        QCOMPARE(open.data.messageTexts(), QStringList({statement}));
    }

    void excludeMarksTheCompanyOnEveryLookupTab()
    {
        Open open;
        ResultList& list = open.page;
        open.saveLookup("SEARCH1.KRD", "All of Springfield", "00000", "99999");
        open.saveLookup("SEARCH2.KRD", "Miller", "MILLER & SONS", "MILLER & SONS", false, "NAME1");
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
        list.moreInfo();
        QCOMPARE(caption, QString("KRLISTI - acme widgets"));
        list.openTab(0);
        list.search("acme");
        QCOMPARE(list.phone(), QString("215-555-0177"));
        QVERIFY(list.notesFlagShown());
    }

    // Offered in New York only, the full address shows every line of the
    // company's load records, none for another, or says the database is missing.
    void theFullAddressShowsEveryLineOrNoneOrTheMissingDatabase()
    {
        QVERIFY(!Open("PM").page.fullAddressOffered());
        Open open("NY");
        QVERIFY(open.page.fullAddressOffered());
        ResultsFixture& data = open.data;
        // Two load records of one employer, each line 35 characters.
        const QStringList lines = {"ACME TOOL CO                       ",
                                   "12 MILL RD                         ",
                                   "SECOND RECORD LINE ONE             "};
        data.db()
            .prepare("INSERT INTO ADDRESSES (FILE, SEQUENCE, ADDRESSES) VALUES (?, ?, ?)")
            .bindAll({"123 45 67", "01", lines.join("\r\n").toStdString()})
            .run();
        KRNYADDR window(data.master(), "123 45 67", "01", "ACME TOOL CO");
        window.show();
        auto* text = window.findChild<QPlainTextEdit*>("ADDRESSES");
        // Activating the window again repeats the look-up.
        text->clear();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_COMPARE(text->toPlainText(), lines.join("\n"));
        KRNYADDR nobody(data.master(), "999 99 99", "01", "NOBODY");
        nobody.show();
        QCOMPARE(nobody.findChild<QPlainTextEdit*>("ADDRESSES")->toPlainText(), QString());
        QVERIFY(nobody.isVisible() && data.messages().isEmpty());

        const QString path = QString::fromStdString(data.programFolder()) + "KORANY.MDB";
        QVERIFY(QFile::rename(path, path + ".away"));
        KRNYADDR missing(data.master(), "123 45 67", "01", "ACME TOOL CO");
        missing.show();
        QCOMPARE(data.messages().size(), 1);
        QVERIFY2(data.messageTexts().first().contains(path), qPrintable(data.messageTexts()[0]));
        QTRY_VERIFY(!missing.isVisible());
    }

    void refusedRangesAreSaidAndStayTyped()
    {
        const struct
        {
            int field;
            QString from, thru, message;
        } cases[] = {
            {-1, "1", "2", "No field selected!"},
            {Field::ExperienceMod, "2.000", "1.000", "From must not be greater than Thru!"},
            // Thru is checked as typed: a value alone is no date, mod or band.
            {Field::ExpirationDate, "0301", "", "Date must be in the form MMDD!"},
            {Field::Employees, "1", "X", "Invalid employee category!"}};
        for (const auto& [field, from, thru, message] : cases) {
            OpenEditor open;
            if (field >= 0)
                open.editor.choose(field);
            LookupEditor::type(open.editor.from(), from);
            LookupEditor::type(open.editor.thru(), thru);
            open.editor.accept();
            QCOMPARE(open.app.messageTexts(), QStringList({message}));
            QCOMPARE(open.range(), from + '-' + thru);
            QCOMPARE(open.editor.criteria(), QStringList());
        }
    }

    void newSearchBuildsALookupAndTheListShowsIt()
    {
        StartedFixture app;
        app.onModal<KRLOOKUP>([](KRLOOKUP* window) {
            const LookupEditor editor{window};
            LookupEditor::type(editor.title(), "Bucks Builders");
            // A county found by its name and picked with Enter; Thru left empty.
            editor.choose(Field::County);
            editor.searchFor()->setFocus();
            QTest::keyClicks(editor.searchFor(), "bu");
            QCOMPARE(editor.pickRow(), 2);
            QTest::keyClick(editor.searchFor(), Qt::Key_Return);
            editor.accept();
            // A mod range typed over the selected default and accepted with Enter.
            editor.choose(Field::ExperienceMod);
            QCOMPARE(editor.from()->selectedText(), QString("0.000"));
            QTest::keyClicks(editor.from(), "1.000");
            QTest::keyClick(editor.from(), Qt::Key_Return);
            // A whole SIC group found by its name, picked by a click and excluded.
            editor.choose(Field::SicCode);
            QTest::keyClicks(editor.searchFor(), "Food");
            editor.pick("2000");
            editor.excludeOption()->click();
            editor.accept();
            QVERIFY(editor.includeOption()->isChecked());
            QCOMPARE(editor.criteria(), QStringList({"County|09 Thru 09|Include",
                                                     "Experience Mod.|1.000 Thru 9.999|Include",
                                                     "SIC Code|2000 Thru 2099|Exclude"}));
            editor.ok();
            if (window->isVisible())
                window->reject();
        });
        app.master().findChild<QAction*>("SSRibbon1_0")->trigger();
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(app.bytes("SEARCH1.KRD"),
                 std::string("\"Bucks Builders\",\"County\",\"09\",\"09\",\"COUNTY\",#FALSE#\r\n"
                             "\"Bucks Builders\",\"Experience Mod.\",\"1.000\",\"9.999\","
                             "\"MOD\",#FALSE#\r\n\"Bucks Builders\",\"SIC Code\",\"2000\","
                             "\"2099\",\"SIC\",#TRUE#\r\n"));
        // A new lookup brings the list back on the all-companies tab.
        QCOMPARE(app.tabs()->currentIndex(), 0);
        QCOMPARE(app.tabs()->tabText(1), QString("Bucks Builders"));
        app.tabs()->setCurrentIndex(1);
        QCOMPARE(app.page().column(), QStringList({"Allen Roofing", "Greene Construction"}));
    }

    void countsTheLookupAsItIsTypedAndDeletesCriteria()
    {
        OpenEditor open;
        LookupEditor& editor = open.editor;
        QTRY_COMPARE(editor.count(), QString("7 companies match"));
        // The range being typed counts before it is accepted.
        editor.choose(Field::County);
        editor.from()->setText("09");
        QTRY_COMPARE(editor.count(), QString("4 companies match"));
        editor.accept();
        editor.choose(Field::SicCode);
        editor.from()->setText("1500");
        editor.thru()->setText("1799");
        editor.excludeOption()->click();
        QTRY_COMPARE(editor.count(), QString("1 company matches"));

        for (const char* zip : {"18901", "19007"})
            editor.add(Field::ZipCode, zip);
        QCOMPARE(editor.criteriaGrid()->currentIndex().row(), 2);
        editor.criteriaGrid()->setCurrentIndex(editor.criteriaGrid()->model()->index(1, 0));
        editor.deleteCriterion();
        QCOMPARE(editor.criteria(),
                 QStringList({"County|09 Thru 09|Include", "Zip Code|19007 Thru 19007|Include"}));
        editor.criteriaGrid()->setFocus();
        // Escape is Cancel: it leaves without a file.
        QTest::keyClick(editor.criteriaGrid(), Qt::Key_Escape);
        QVERIFY(!open.window->isVisible());
        QVERIFY(open.app.list().lookupTabs().folder().lookupFiles().empty());
    }

    // Fields of other databases are refused when chosen; New York's expiration is its anniversary.
    void theFieldsFollowTheState()
    {
        {
            OpenEditor open;
            open.editor.choose(Field::ZipCode);
            LookupEditor::type(open.editor.from(), "190");
            open.editor.choose(Field::MeritClass);
            QCOMPARE(open.app.messageTexts(),
                     QStringList({"This field can only be used with PM & DM Databases."}));
            open.editor.accept();
            QCOMPARE(open.editor.criteria(), QStringList({"Zip Code|00190 Thru 00190|Include"}));
        }
        OpenEditor newYork("NY");
        newYork.editor.add(Field::ExpirationDate, "0101");
        QCOMPARE(newYork.editor.criteria(), QStringList({"Anniversary|0101 Thru 1231|Include"}));
    }

    void pickListFillsFromThenThru()
    {
        OpenEditor open;
        LookupEditor& editor = open.editor;
        editor.choose(Field::SicCode);
        QCOMPARE(editor.pickColumn(1).first(), QString("Bread and Bakery Products"));
        // A header click sorts by codes, and the search then goes by code.
        editor.sortPickList(0);
        QCOMPARE(editor.pickColumn(0).mid(2, 3), QStringList({"1611", "1700", "1761"}));
        QTest::keyClicks(editor.searchFor(), "17");
        QCOMPARE(editor.pickRow(), 3);
        // Nothing at or after 9: the list stays where it was.
        editor.searchFor()->clear();
        QTest::keyClicks(editor.searchFor(), "9");
        QCOMPARE(editor.pickRow(), 3);
        editor.pick("1500");
        QCOMPARE(open.range(), QString("1500-1599"));
        editor.pick("1700");
        QCOMPARE(open.range(), QString("1500-1799"));
        editor.choose(Field::EmployerName);
        QVERIFY(editor.pickList()->isHidden());
    }

    void okSavesWhatIsTypedAndRefusesAnEmptyLookup()
    {
        OpenEditor open;
        LookupEditor& editor = open.editor;
        // Thru alone is no range.
        editor.choose(Field::ZipCode);
        LookupEditor::type(editor.thru(), "19000");
        editor.ok();
        // A typed range that Accept refuses keeps the editor open with it.
        editor.choose(Field::ExpirationDate);
        LookupEditor::type(editor.from(), "13");
        editor.ok();
        QCOMPARE(editor.from()->text(), QString("13"));
        LookupEditor::type(editor.from(), "0301");
        editor.title()->clear();
        editor.ok();
        QVERIFY(open.window->isVisible());
        QCOMPARE(open.app.messageTexts(), QStringList({"No parameters selected for this search!",
                                                       "Date must be in the form MMDD!",
                                                       "No title entered for this search!"}));
        // The typed mod range is accepted by OK itself.
        LookupEditor::type(editor.title(), "Spring Renewals");
        editor.choose(Field::ExperienceMod);
        LookupEditor::type(editor.from(), "1.100");
        editor.ok();
        QVERIFY(!open.window->isVisible());
        QCOMPARE(open.app.messageTexts().size(), 3);
        QCOMPARE(open.app.bytes("SEARCH1.KRD"),
                 std::string("\"Spring Renewals\",\"Expiration Date\",\"0301\",\"1231\","
                             "\"EXPIRE\",#FALSE#\r\n\"Spring Renewals\",\"Experience Mod.\","
                             "\"1.100\",\"9.999\",\"MOD\",#FALSE#\r\n"));
    }

    void keyboardAloneBuildsALookup()
    {
        OpenEditor open;
        LookupEditor& editor = open.editor;
        // Tabbing into the fields chooses none; the first arrow key chooses the first.
        QTest::keyClick(editor.title(), Qt::Key_Tab);
        QCOMPARE(editor.fields()->currentRow(), -1);
        QTest::keyClick(editor.fields(), Qt::Key_Down);
        QCOMPARE(editor.from()->text(), QString("0101"));
        editor.fields()->setCurrentRow(Field::EmployerName);
        QTest::keyClick(editor.fields(), Qt::Key_Down);
        QTest::keyClick(editor.fields(), Qt::Key_Return);
        QCOMPARE(open.window->focusWidget(), editor.from());
        // A zip From is padded as it is left.
        QTest::keyClicks(editor.from(), "19");
        QTest::keyClick(editor.from(), Qt::Key_Tab);
        QCOMPARE(editor.from()->text(), QString("00019"));
        QTest::keyClicks(editor.thru(), "18999");
        // Enter in a range box accepts the range, not the lookup.
        QTest::keyClick(editor.thru(), Qt::Key_Return);
        QVERIFY(open.window->isVisible());
        QTest::keyClick(open.window.get(), Qt::Key_X, Qt::AltModifier);
        QTest::keyClick(open.window.get(), Qt::Key_F, Qt::AltModifier);
        QTest::keyClicks(editor.from(), "19380");
        QTest::keyClick(editor.from(), Qt::Key_Return);
        QTest::keyClick(open.window.get(), Qt::Key_L, Qt::AltModifier);
        QTest::keyClicks(editor.title(), "Zips");
        // Enter elsewhere is OK.
        QTest::keyClick(editor.title(), Qt::Key_Return);
        QVERIFY(!open.window->isVisible());
        QCOMPARE(open.app.bytes("SEARCH1.KRD"),
                 std::string("\"Zips\",\"Zip Code\",\"00019\",\"18999\",\"ZIP\",#FALSE#\r\n"
                             "\"Zips\",\"Zip Code\",\"19380\",\"19380\",\"ZIP\",#TRUE#\r\n"));
        QVERIFY(open.app.messageTexts().isEmpty());
    }

    void namedLookupsStopAtEight()
    {
        OpenEditor open;
        for (int slot = 1; slot <= 8; ++slot)
            open.app.writeLookup("SEARCH" + std::to_string(slot) + ".KRD", "Old",
                                 {"", "Zip Code", "1", "2", "ZIP", false});
        open.editor.add(Field::EmployerName, "ACME");
        LookupEditor::type(open.editor.title(), "Ninth");
        open.editor.ok();
        QCOMPARE(open.app.messageTexts(),
                 QStringList({"Cannot write search information to disk!  Maximum searches is 8 "
                              "named searches and 1 untitled search."}));
        LookupEditor::type(open.editor.title(), "UNTITLED");
        open.editor.ok();
        QCOMPARE(open.app.bytes("UNTITLED.KRD"),
                 std::string("\"UNTITLED\",\"Employer Name\",\"ACME\",\"ACME\",\"NAME1\","
                             "#FALSE#\r\n"));
    }

    void deleteAsksAndRemovesTheLookupWithItsMarks()
    {
        for (const QMessageBox::StandardButton answer : {QMessageBox::Yes, QMessageBox::No}) {
            Lookups open;
            QStringList shown;
            QList<bool> visible;
            open.editSearch([&](const LookupList& window) {
                shown = window.entries();
                window.edit();
                visible << window.window->isVisible();
                window.remove();
                visible << window.window->isVisible();
                window.list()->setCurrentRow(1);
                open.app.queueAnswer(answer);
                window.remove();
                visible << window.window->isVisible();
            });
            // The blank title keeps its entry, so every entry stays with its tab.
            QCOMPARE(shown, QStringList({"Roofers", "   ", "Bakers"}));
            QCOMPARE(visible, QList<bool>({true, true, false}));
            QCOMPARE(
                open.app.messageTexts(),
                QStringList({"No lookup selected!", "No lookup selected!", "Delete this lookup?"}));
            const Dialogs::Request& question = open.app.messages().last();
            QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(question.defaultButton, QMessageBox::No);
            const bool kept = answer == QMessageBox::No;
            QCOMPARE(std::filesystem::exists(open.app.workspaceFile("SEARCH2.KRD")), kept);
            QCOMPARE(std::filesystem::exists(open.app.workspaceFile("SEARCH2.XCL")), kept);
            QCOMPARE(open.app.tabs()->currentIndex(), 0);
            const QStringList tabs =
                kept ? QStringList{"Roofers", "   ", "Bakers"} : QStringList{"Roofers", "Bakers"};
            QCOMPARE(open.tabTexts(), tabs);
            open.editSearch([&shown](const LookupList& window) { shown = window.entries(); });
            QCOMPARE(shown, tabs);
        }
    }

    void editOpensTheChosenLookupAndItsTabShowsIt()
    {
        Lookups open;
        QStringList titles;
        QStringList criteria;
        std::function<void(const LookupEditor&)> script = [&](const LookupEditor& editor) {
            criteria = editor.criteria();
            LookupEditor::type(editor.title(), "Bakers and Roofers");
            editor.add(FieldCatalogue::SicCode, "1761");
            editor.ok();
        };
        open.app.onModal<KRLOOKUP>([&](KRLOOKUP* window) {
            titles << LookupEditor{window}.title()->text();
            script(LookupEditor{window});
            if (window->isVisible())
                window->reject();
        });
        open.editSearch([](const LookupList& window) {
            window.list()->setCurrentRow(2);
            window.edit();
        });
        QCOMPARE(criteria, QStringList({"SIC Code|2051 Thru 2051|Include"}));
        QCOMPARE(open.app.bytes("SEARCH3.KRD"),
                 std::string("\"Bakers and Roofers\",\"SIC Code\",\"2051\",\"2051\",\"SIC\","
                             "#FALSE#\r\n\"Bakers and Roofers\",\"SIC Code\",\"1761\",\"1761\","
                             "\"SIC\",#FALSE#\r\n"));
        QCOMPARE(open.app.tabs()->currentIndex(), 3);
        QCOMPARE(open.app.tabs()->tabText(3), QString("Bakers and Roofers"));
        QCOMPARE(open.app.page().column(), QStringList({"Allen Roofing", "Harbor Bakery"}));
        QVERIFY(open.app.messages().isEmpty());
        open.app.tabs()->setCurrentIndex(0);
        script = [](const LookupEditor&) {};
        open.editSearch([](const LookupList& window) {
            QCOMPARE(window.window->focusWidget(), window.list());
            QTest::keyClick(window.list(), Qt::Key_Down);
            QTest::keyClick(window.list(), Qt::Key_Return);
        });
        QCOMPARE(titles, QStringList({"Bakers", "Roofers"}));
    }
};

QTEST_MAIN(ResultListTest)
#include "ResultListTest.moc"
