#include "base/FieldName.h"
#include "database/Database.h"
#include "database/Transaction.h"
#include "lookup/Criteria.h"
#include "lookup/FieldCatalogue.h"
#include "lookup/LookupFile.h"
#include "results/FollowUps.h"
#include "results/NoteLock.h"
#include "shell/KRWSPACE.h"
#include "shell/MASTER.h"
#include "support/BreakdownDatabase.h"
#include "support/FixedToday.h"
#include "support/PdfText.h"
#include "support/WindowFixture.h"
#include "support/WriteFailure.h"
#include "upgrade/ZipBuilder.h"
#include "widgets/Preferences.h"
#include "windows/BreakdownWindow.h"
#include "windows/FollowUpDialog.h"
#include "windows/FollowUpsDue.h"
#include "windows/KREDDEL.h"
#include "windows/KREXPORT.h"
#include "windows/KRLIST.h"
#include "windows/KRLISTI.h"
#include "windows/KRLOOKUP.h"
#include "windows/KRMANUAL.h"
#include "windows/KRNOTES.h"
#include "windows/KRNYADDR.h"
#include "windows/KRPRINT.h"
#include "windows/KRUPGRD.h"
#include "windows/LiveCountLabel.h"
#include "windows/ModChart.h"
#include "windows/PrinterOutput.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QBarSet>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QDate>
#include <QDateEdit>
#include <QDateTime>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QValueAxis>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace kora;
using namespace kora::test;
using namespace std::chrono_literals;
using Field = FieldCatalogue::Position;

namespace {

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
    Database& db() { return m_db; }

    void addCompany(const std::string& file, const std::string& sequence, const std::string& fields,
                    const std::vector<Value>& values, const Value& note = Value(" "))
    {
        ::addCompany(m_db, file, sequence, fields, values, note);
    }
    Value field(const std::string& file, const std::string& sequence, const std::string& name,
                const std::string& table = "PRIME")
    {
        Statement query = m_db.prepare("SELECT " + quoteIdentifier(name) + " FROM " + table +
                                       " WHERE FILE = ? AND SEQUENCE = ?");
        query.bindAll({file, sequence});
        return query.step() ? query.column(0) : Value("(no row)");
    }
    Value note(const std::string& file, const std::string& sequence)
    {
        return field(file, sequence, "NOTES", "NOTES");
    }

private:
    MASTER m_master;
    Database m_db;
    KRLIST* m_list = nullptr;
};

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
    // Writes a one-criterion lookup into the workspace and shows the tabs again.
    void saveLookup(const char* file, const std::string& title, const char* from, const char* thru,
                    bool exclude = false, const char* field = "ZIP")
    {
        QVERIFY(LookupFile::write(data.programFolder() + "INITIAL/" + file, title,
                                  {{title, "", from, thru, field, exclude}}));
        page.list->SETTABS();
    }
    QColor nameColour(int row) const
    {
        return page.grid()->model()->index(row, 2).data(Qt::ForegroundRole).value<QBrush>().color();
    }
};

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
                addCompany(db, file, "01", "STATE, NAME1, NameSort, ZIP, COUNTY, SIC, MOD, Omit",
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
    std::string bytes(const std::string& name) const { return fileBytes(workspaceFile(name)); }
    // Writes a lookup file of one criterion (its SQLDESC left empty) under a title.
    void writeLookup(const std::string& name, const std::string& title,
                     const SQLPARAMETER& criterion) const
    {
        if (!LookupFile::write(workspaceFile(name), title, {criterion}))
            throw std::runtime_error("cannot write " + name);
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
    QRadioButton* excludeOption() const { return child<QRadioButton>("SQLEXCLUDE"); }
    void accept() const { child<QPushButton>("ADD")->click(); }
    void ok() const { child<QPushButton>("OK")->click(); }

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

// The editor opened as New Search opens it, without a modal loop, the list
// following what it saves as it does from the main window.
struct OpenEditor
{
    StartedFixture app;
    std::unique_ptr<KRLOOKUP> window;
    LookupEditor editor{nullptr};

    explicit OpenEditor(const std::string& state = "PA") : app(state)
    {
        KRLIST& list = app.list();
        list.SetCurSQLFile(true);
        list.lookupTabs().setCurrentFile("");
        window = std::make_unique<KRLOOKUP>(list.lookupTabs(), list.database(),
                                            list.state().toStdString(), &app.master());
        editor.window = window.get();
        QObject::connect(window.get(), &KRLOOKUP::saved, &list, &KRLIST::showSavedLookup);
        QObject::connect(window.get(), &KRLOOKUP::cancelled, &list, &KRLIST::SETTABS);
        window->show();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the lookup editor did not become active");
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
};

const std::string kOneCompany = "SELECT * FROM PRIME WHERE FILE = '0000001' AND SEQUENCE = '01'";

// Drives the export window as a user would. Layouts go by their place in the
// export code: 0 comma, 1 tab, 2 fixed length, 3 limited fields, 4 workbook.
struct ExportWindow
{
    KREXPORT* window;

    template <typename T> T* child(const char* name) const { return named<T>(window, name); }
    void chooseLayout(int layout) const
    {
        for (auto* option : window->findChildren<QRadioButton*>("EXPTFORM"))
            if (option->property("index").toInt() == layout)
                option->click();
    }
    void ok() const { child<QPushButton>("Command1")->click(); }
    bool shown() const { return window->isVisible(); }
};

// Ten Pennsylvania companies, the first with two mods; the save dialog
// answers chosenFile (a cancel when empty) and keeps what it was asked.
class ExportFixture : public ResultsFixture
{
public:
    ExportFixture() : ResultsFixture("PA")
    {
        addCompany("0000001", "01",
                   "NAME1, NAMESORT, STREET, CITY, ST, ZIP, ZIPEXT, PHONE, SIC, Omit",
                   {"ACME WIDGET CO", "ACME WIDGET CO", " 1 MAIN ST", "PITTSBURGH", "PA", "15001",
                    "", "412-555-0100 ", "0795", " "});
        for (int i = 2; i <= 10; ++i)
            addCompany(QString::number(i).rightJustified(7, '0').toStdString(), "01", "NAME1, Omit",
                       {"OTHER", " "});
        db().execute("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES "
                     "('0000001', '01', '2026-03-15', '2026-03-15', 0.95), "
                     "('0000001', '01', '2025-03-15', '1950-01-01', 1.1)");
        Dialogs::setFileScript([this](const Dialogs::FileRequest& request) {
            asked.push_back(request);
            if (chosenFile.isEmpty())
                return Dialogs::FileAnswer{};
            return Dialogs::FileAnswer{true, {chosenFile}, request.filterIndex};
        });
    }

    ExportWindow open(int layout, const std::string& source = kOneCompany)
    {
        m_window = std::make_unique<KREXPORT>(master(), source, QStringLiteral("Acme"));
        m_window->show();
        const ExportWindow window{m_window.get()};
        window.chooseLayout(layout);
        return window;
    }
    void choose(const QString& name, const char* content = nullptr)
    {
        chosenFile = QString::fromStdString(programFolder()) + name;
        QFile old(chosenFile);
        if (content)
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write(content) > 0);
    }
    QByteArray chosenBytes() const
    {
        QFile file(chosenFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    QList<Dialogs::FileRequest> asked;
    QString chosenFile;

private:
    std::unique_ptr<KREXPORT> m_window;
};

// Three companies, the middle one marked Omit, and the main window's printer
// writing a PDF file.
struct PrintFixture : ResultsFixture
{
    explicit PrintFixture(const std::string& state = "PA") : ResultsFixture(state)
    {
        master().printer().setOutputFormat(QPrinter::PdfFormat);
        master().printer().setOutputFileName(QString::fromStdString(pdf()));
        const char* companies[][5] = {{"1000001", "ZENITH TOOL", "ERIE", "16501", " "},
                                      {"1000002", "MARKED OUT INC", "ERIE", "16502", "Y"},
                                      {"1000003", "ACORN BAKERY", "YORK", "17401", " "}};
        for (const auto& [file, name, city, zip, omit] : companies)
            addCompany(file, "01", "NAME1, NameSort, CITY, ST, ZIP, Omit",
                       {name, name, city, "PA", zip, omit});
    }

    std::string pdf() const { return temporaryFolder() + "printed.pdf"; }
    QString page(int number) const { return QString::fromStdString(pdfText(pdf(), number)); }
    KRPRINT::Lookup everyone() const
    {
        return {"SELECT * FROM PRIME ORDER BY NAME1", QStringLiteral("BAKERS AND TOOLMAKERS"), 3};
    }
};

// Drives the print window as a user would: options are chosen by the name of
// the format, sort or output ("FULL", "LASERLABEL", "EXPIRE", "POUTPUT_1"...).
struct PrintWindow
{
    PrintWindow(PrintFixture& fixture, const KRPRINT::Lookup& lookup)
        : window(fixture.master(), lookup)
    {
        window.show();
    }

    template <typename T> T* child(const char* name) const { return named<T>(&window, name); }
    void choose(const char* option) const { child<QRadioButton>(option)->click(); }
    void ok() const { child<QPushButton>("Command1")->click(); }
    QLineEdit* copies() const { return child<QLineEdit>("COPIES"); }
    QString status() const { return child<QLabel>("Label1")->text(); }

    KRPRINT window;
};

void print(PrintFixture& fixture, const char* format, const char* sort,
           const KRPRINT::Lookup& lookup)
{
    const PrintWindow print(fixture, lookup);
    print.choose(format);
    print.choose(sort);
    print.ok();
}

// Two Pennsylvania companies with blank notes and user fields, and folder
// choosers answered by script: each answer is the next queued folder, or a
// cancel when none is left.
struct NotesFixture : ResultsFixture
{
    NotesFixture() : ResultsFixture("PA")
    {
        for (const char* file : {"100001", "100002"})
            addCompany(file, "00", "NAME1, User1, User2, User3, Omit",
                       {"Acme", " ", " ", " ", " "});
        Dialogs::setFileScript([this](const Dialogs::FileRequest& request) {
            requests.append(request);
            if (folders.isEmpty())
                return Dialogs::FileAnswer{};
            return Dialogs::FileAnswer{true, {folders.takeFirst()}, 0};
        });
    }

    std::string localBackup() const { return programFolder() + "BACKUPPA.MDB"; }
    QString temporary() const { return QString::fromStdString(temporaryFolder()); }
    void set(const char* table, const char* column, const char* file, const std::string& value)
    {
        db().prepare(std::string("UPDATE ") + table + " SET " + column + " = ? WHERE FILE = ?")
            .bindAll({value, file})
            .run();
    }

    QStringList folders;
    QList<Dialogs::FileRequest> requests;
};

// Drives the backup window as a user would: option 1 backs up, 2 restores, 3 merges.
struct BackupWindow
{
    explicit BackupWindow(MASTER& master) : window(master) { window.show(); }

    QCheckBox* otherFolder() const { return named<QCheckBox>(&window, "Check1"); }
    void choose(int option) const
    {
        named<QRadioButton>(&window, ("Option" + std::to_string(option)).c_str())->click();
    }
    void tick() const { otherFolder()->click(); }
    void ok() const { named<QPushButton>(&window, "OK")->click(); }

    KRNOTES window;
};

// Seven companies whose newest mods expire around the year's end, the lookup
// that selects them by name, and their order seen on December 8, 2026 with
// the next renewal first: from that day to March, then December 1, then the
// company without mods.
const char* const kRenewals[][3] = {
    {"3000001", "ACORN JAN 5", "2027-01-05"}, {"3000002", "BIRCH MAR 15", "2027-03-15"},
    {"3000003", "CEDAR DEC 1", "2026-12-01"}, {"3000004", "DOGWOOD DEC 20", "2026-12-20"},
    {"3000005", "ELM NO MODS", ""},           {"3000006", "MAPLE DEC 20", "2026-12-20"},
    {"3000007", "ZEBRA DEC 8", "2026-12-08"}};
const std::string kRenewalLookup = "SELECT * FROM PRIME WHERE FILE LIKE '3%' ORDER BY NAME1";
const QStringList kRenewalOrder = {"ZEBRA DEC 8",  "DOGWOOD DEC 20", "MAPLE DEC 20", "ACORN JAN 5",
                                   "BIRCH MAR 15", "CEDAR DEC 1",    "ELM NO MODS"};

void addRenewals(ResultsFixture& fixture)
{
    for (const auto& [file, name, expire] : kRenewals) {
        fixture.addCompany(file, "01", "NAME1, NAMESORT, Omit", {name, name, " "});
        if (*expire)
            fixture.db()
                .prepare("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES (?, "
                         "'01', ?, ?, 1)")
                .bindAll({file, expire, expire})
                .run();
    }
}

// The renewal companies in the order of the detail pages printed.
QStringList printedRenewals(const PrintFixture& fixture)
{
    QStringList printed;
    for (int page = 1; page <= pdfPages(fixture.pdf()); ++page)
        for (const auto& [file, name, expire] : kRenewals)
            if (fixture.page(page).contains(name))
                printed << name;
    return printed;
}

// The NAME1 column of a comma export file, line by line after the header.
QStringList exportedNames(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {"(missing)"};
    QStringList names;
    const QStringList lines = QString::fromLatin1(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(1))
        names << line.section("\",\"", 1, 1);
    return names;
}

// Types a path into the export window's path box, as the agent does.
void typeExportPath(const ExportWindow& window, const QString& path)
{
    LookupEditor::type(window.child<QLineEdit>("OUTPATH"), path);
}

// The layout the export window has chosen, by its place in the export code.
int chosenLayout(const ExportWindow& window)
{
    for (auto* option : window.window->findChildren<QRadioButton*>("EXPTFORM"))
        if (option->isChecked())
            return option->property("index").toInt();
    return -1;
}

// Drives the label sheet and PDF controls of the print window as a user
// would; the PDF file chooser answers with the file given, or cancels without
// one, and keeps what it was asked.
struct LabelPrintWindow : PrintWindow
{
    LabelPrintWindow(PrintFixture& fixture, const char* format)
        : PrintWindow(fixture, fixture.everyone())
    {
        choose(format);
        Dialogs::setFileScript([this](const Dialogs::FileRequest& request) {
            asked.append(request);
            if (answer.empty())
                return Dialogs::FileAnswer{};
            return Dialogs::FileAnswer{true, {QString::fromStdString(answer)}, 0};
        });
    }

    QSpinBox* number(const char* name) const { return child<QSpinBox>(name); }
    void startAt(int label) const { number("FIRSTLABEL")->setValue(label); }
    void shift(int across, int down) const
    {
        number("OFFSETACROSS")->setValue(across);
        number("OFFSETDOWN")->setValue(down);
    }
    QPoint shown() const
    {
        return {number("OFFSETACROSS")->value(), number("OFFSETDOWN")->value()};
    }
    void testSheet() const { child<QCheckBox>("TESTSHEET")->setChecked(true); }
    void printTo(const std::string& pdf)
    {
        answer = pdf;
        choose("POUTPUT_2");
        ok();
    }

    std::string answer;
    QList<Dialogs::FileRequest> asked;
};

// A place of the 30-up laser sheet from 1, in points: 2-5/8" x 1" labels three
// across from 3/16" and 1/2" margins with 1/8" gaps, moved by a shift in points.
QRectF laserPlace(int place, QPointF shift = {})
{
    return QRectF(13.5 + (place - 1) % 3 * 198, 36 + (place - 1) / 3 * 72, 189, 72)
        .translated(shift);
}

bool within(const std::vector<PdfWord>& words, const QRectF& place)
{
    return !words.empty() && std::all_of(words.begin(), words.end(), [&](const PdfWord& word) {
        return place.contains(QRectF(word.xMin, word.yMin, word.xMax - word.xMin, word.height()));
    });
}

} // namespace

// The result list and the windows it opens, the lookup editor, and the windows
// that print, export, back up, chart and upgrade.
// Drives the drop-down of a coded field's values on a range box as a user
// would: the arrow at the box's end, the list below it.
struct ValueDropDown
{
    QLineEdit* box;

    QAction* arrow() const
    {
        return named<QAction>(box, qPrintable(box->objectName() + QStringLiteral("LIST")));
    }
    bool offered() const { return arrow()->isVisible(); }
    QAbstractItemView* list() const { return box->completer()->popup(); }
    // Clicks the arrow: every value is listed.
    void open() const
    {
        for (auto* button : box->findChildren<QToolButton*>())
            if (button->defaultAction() == arrow())
                QTest::mouseClick(button, Qt::LeftButton);
    }
    // The values listed, as shown.
    QStringList shown() const
    {
        return list()->isVisible() ? gridRows(list(), {0}) : QStringList();
    }
    // Clicks a listed value.
    void pick(const QString& label) const
    {
        const int row = static_cast<int>(shown().indexOf(label));
        QVERIFY2(row >= 0, qPrintable(label));
        const QModelIndex index = list()->model()->index(row, 0);
        list()->scrollTo(index);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualRect(index).center());
    }
};

// Double-clicks a row of the lookup editor's criteria.
void doubleClickCriterion(const LookupEditor& editor, int row)
{
    QTableView* grid = editor.criteriaGrid();
    const QPoint place = grid->visualRect(grid->model()->index(row, 1)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, place);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, place);
}

// Drives the follow-up box of a record window or of the list's follow-up
// window; "FOLLOWWEEK", "FOLLOWDONE" ... are its buttons.
struct FollowUpPage
{
    QWidget* window;

    template <typename T> T* child(const char* name) const { return named<T>(window, name); }
    void click(const char* button) const { child<QPushButton>(button)->click(); }
    QDate due() const { return child<QDateEdit>("FOLLOWDUE")->date(); }
    // The day shown, empty when there is none.
    QString dueText() const { return child<QDateEdit>("FOLLOWDUE")->text().trimmed(); }
    void type(const QString& text) const
    {
        child<QLineEdit>("FOLLOWTEXT")->clear();
        QTest::keyClicks(child<QLineEdit>("FOLLOWTEXT"), text);
    }
};

// "DUE|TEXT" of a company's stored follow-up, "(none)" without one.
QString storedFollowUp(Database& db, const char* file, const char* sequence = "01")
{
    const auto followUp = FollowUps(db).of(file, sequence);
    return followUp ? QString::fromStdString(followUp->due + "|" + followUp->text)
                    : QStringLiteral("(none)");
}

class WindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::system()); }

    void theRecordShowsTheCompanyDatesEachNoteAndStoresWhatIsTypedOrItsAddress()
    {
        // The tests run under the C locale, which has no date format of its own.
        const QString today = QDate::currentDate().toString("MM/dd/yy");
        Record record;
        QVERIFY(record.open());
        const RecordWindow& page = record.page;
        QCOMPARE(page.texts({"Text2", "Text3", "Text4", "PPAP", "NJCCPAP", "STREET", "UserPhone",
                             "PHONE", "SIC", "EMPLOYEES", "SALES", "Text1"}),
                 QStringList({"12,500", "102,384", "0", "Y", "N", "12 MILL RD", "609-555-0199",
                              "609-555-0100", "3599 - Industrial Machinery, NEC", "20 - 49",
                              "1MM - 4.9MM", "07/95"}));
        QCOMPARE(page.notes()->toPlainText(), QString("Called in March"));
        QVERIFY(record.window->findChild<QWidget*>("AssignedRisk"));
        QCOMPARE(record.window->windowTitle(), QString("ACME TOOL CO"));
        QCOMPARE(page.dateAdded(), today);
        QVERIFY(page.box("PHONE")->isReadOnly() && !page.box("UserFax")->isReadOnly());
        QCOMPARE(gridRows(page.classes(), {0}) + gridRows(page.classes(), {2}),
                 QStringList({"3632", "8810", "2.50", "0.12"}));
        QCOMPARE(gridRows(page.associates(), {0}),
                 QStringList({"ACME TOOL CO", "ACME TOOL SALES"}));

        // Entering the notes puts the cursor at their front; what is typed
        // there first comes on a line dated today.
        QPlainTextEdit* notes = page.notes();
        const QString dated = today + " - ";
        QTest::mouseClick(notes->viewport(), Qt::LeftButton);
        QCOMPARE(notes->textCursor().position(), 0);
        QCOMPARE(notes->toPlainText(), QString("Called in March"));
        QTest::keyClicks(notes, "sent quote");
        record.leave();
        // Entered and left without typing, or with the dated line emptied
        // again: no dated line stays.
        RecordWindow::enter(notes);
        record.leave();
        RecordWindow::enter(notes);
        QTest::keyClicks(notes, "x");
        QTest::keyClick(notes, Qt::Key_Backspace);
        record.leave();
        RecordWindow::enter(notes);
        QCOMPARE(notes->toPlainText(), dated + "sent quote\nCalled in March");

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

        // The address override replaces the address or says what is missing.
        QVERIFY(record.open());
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
        QTest::keyClicks(german.page.notes(), "x");
        QLocale::setDefault(QLocale::c());
        const QString date = QDate::currentDate().toString("dd.MM.yy");
        QCOMPARE(german.page.notes()->toPlainText(), date + " - x\nCalled in March");
        QCOMPARE(german.page.dateAdded(), date);
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

    void sortSearchAndLookupTabsGoByTheColumnClickedAndTheGridShown()
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

        // Lookup tabs show their companies and follow their files.
        MASTER& master = open.data.master();
        open.saveLookup("SEARCH1.KRD", "Bucks and Chester", "18000", "19399");
        open.saveLookup("SEARCH2.KRD", "Nothing", "99000", "99999");
        open.saveLookup("SEARCH3.KRD", "Not Bucks", "18901", "18901", true);
        QCOMPARE(list.tabs()->tabText(3), QString("Not Bucks"));
        list.openTab(1);
        QCOMPARE(list.column(), QStringList({"acme widgets", "SMITH TOOL CO", "Zenith Labs"}));
        QCOMPARE(list.count(), QString("3"));
        QVERIFY(master.isCommandEnabled("SSRibbon1_4"));
        QVERIFY(master.isCommandEnabled("mnuEditSearch"));
        // A lookup that selects nothing leaves the row buttons disabled.
        list.openTab(2);
        QCOMPARE(list.count(), QString("0"));
        for (const char* name : {"Command1", "FULLADDR", "PRINTCUR", "MarkIt"})
            QVERIFY2(!list.child<QPushButton>(name)->isEnabled(), name);
        list.openTab(3);
        QCOMPARE(list.column(), QStringList({"Baker Bros", "MILLER & SONS", "MILLER_JONES",
                                             "MILLERS MILL", "SMITH TOOL CO", "Zenith Labs"}));
        // The file goes while its tab is shown: the commands no longer offer it.
        QVERIFY(std::filesystem::remove(open.data.programFolder() + "INITIAL/SEARCH3.KRD"));
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

    // With "contains" ticked the box finds the text anywhere and Enter finds the
    // next; columns shown, moved and widened come back in the workspace's next list.
    void theSearchFindsTextAnywhereAndTheColumnsChosenStayWithTheWorkspace()
    {
        Open open;
        ResultList& list = open.page;
        auto* contains = list.child<QCheckBox>("SearchContains");
        QVERIFY(!contains->isChecked());
        contains->click();
        QCOMPARE(list.searchBox()->placeholderText(),
                 QString("Searches Company Name for the text anywhere (Enter finds the next)"));
        list.search("mill");
        QCOMPARE(list.current(), QString("MILLER & SONS"));
        for (const char* next : {"MILLER_JONES", "MILLERS MILL", "MILLER & SONS"}) {
            QTest::keyClick(list.searchBox(), Qt::Key_Return);
            QCOMPARE(list.current(), QString(next));
        }
        list.search("ITH");
        QCOMPARE(list.current(), QString("SMITH TOOL CO"));
        list.search("ithx");
        QCOMPARE(list.current(), QString("SMITH TOOL CO"));
        QVERIFY(!list.child<QLabel>("lblNotFound")->isHidden());

        // The optional columns: Phone is the second of the all-companies grid's.
        QTableView* grid = list.allGrid();
        QHeaderView* header = grid->horizontalHeader();
        const auto showPhone = [](const QTableView* shown) {
            return shown->findChild<QAction*>("ShowColumn6");
        };
        QVERIFY(grid->isColumnHidden(6));
        QVERIFY(header->actions().contains(showPhone(grid)));
        showPhone(grid)->trigger();
        QVERIFY(!grid->isColumnHidden(6));
        QCOMPARE(grid->model()->headerData(6, Qt::Horizontal).toString(), QString("Phone"));
        QCOMPARE(list.current(6), QString("215-555-0100"));
        open.data.db().execute("UPDATE PRIME SET MOD = 0.75 WHERE FILE = '1000001'");
        list.list->refreshCompany();
        grid->findChild<QAction*>("ShowColumn5")->trigger();
        QCOMPARE(list.current(5), QString("0.750"));
        // Its header sorts nothing.
        list.clickHeader(6);
        QCOMPARE(list.current(), QString("SMITH TOOL CO"));
        header->moveSection(header->visualIndex(6), 0);
        header->resizeSection(3, 210);
        delete list.list;

        const QString folder = QString::fromStdString(open.data.programFolder());
        auto* again = new KRLIST(open.data.master(), "INITIAL", "PA", folder + "INITIAL/");
        ResultList reopened{again};
        QTableView* kept = reopened.allGrid();
        QVERIFY(!kept->isColumnHidden(6));
        QVERIFY(showPhone(kept)->isChecked());
        QCOMPARE(kept->horizontalHeader()->visualIndex(6), 0);
        QCOMPARE(kept->columnWidth(3), 210);
        QVERIFY(kept->isColumnHidden(4)); // the Omit mark is never a column
        QVERIFY(reopened.child<QCheckBox>("SearchContains")->isChecked());
        // Another workspace keeps its own columns.
        auto* other = new KRLIST(open.data.master(), "OTHER", "PA", folder + "INITIAL/");
        QVERIFY(ResultList{other}.allGrid()->isColumnHidden(6));
        // Columns kept by an earlier program, which had fewer, come back by their headings.
        Preferences::setValue("workspace/EARLIER/TDBGrid1",
                              QStringList{"Phone\t0\t120\t1", "FILE\t1\t70\t1", "Gone\t2\t9\t1"});
        auto* earlier = new KRLIST(open.data.master(), "EARLIER", "PA", folder + "INITIAL/");
        QTableView* earlierGrid = ResultList{earlier}.allGrid();
        QVERIFY(!earlierGrid->isColumnHidden(6));
        QCOMPARE(earlierGrid->horizontalHeader()->visualIndex(6), 0);
        QCOMPARE(earlierGrid->horizontalHeader()->visualIndex(0), 1);
        QCOMPARE(earlierGrid->horizontalHeader()->visualIndex(1), 2);
        QCOMPARE(earlierGrid->columnWidth(6), 120);
    }

    // A big state shows its first rows at once, the very rows the whole result
    // starts with, and counts the rest while the agent searches or changes tab.
    void theFirstRowsShowBeforeTheRestAreCounted()
    {
        ResultsFixture data("PA");
        {
            Transaction adding(data.db());
            // Added last name first, so that the name order is not the order of the rows.
            for (int at = 599; at >= 0; --at) {
                const QString name = QStringLiteral("NAME %1").arg(at, 4, 10, QLatin1Char('0'));
                data.addCompany(QString::number(3000000 + at).toStdString(), "01",
                                "STATE, NAME1, NameSort, ZIP, COUNTYNAME, CountySort, Omit",
                                {"PA", name.toStdString(), name.toStdString(),
                                 at % 2 ? "19001" : "18001", "York", "York", " "});
            }
            adding.commit();
        }
        data.master().show();
        ResultList list{&data.list()};
        list.list->showMaximized();
        list.list->SORT_SELECT(2);
        QCOMPARE(list.count(), QString("Counting\u2026"));
        const QStringList first = list.column();
        QCOMPARE(first.size(), 200);
        QCOMPARE(first.front(), QString("NAME 0000"));
        // A search before the count waits for the rows it needs.
        list.search("NAME 045");
        QCOMPARE(list.current(), QString("NAME 0450"));
        QCOMPARE(list.count(), QString("600"));
        const QStringList all = list.column();
        QCOMPARE(all.size(), 600);
        QCOMPARE(all.mid(0, 200), first);

        // Another order, then a lookup tab, while the first is still counting.
        list.list->SORT_SELECT(0);
        QCOMPARE(list.count(), QString("Counting\u2026"));
        QVERIFY(LookupFile::write(data.programFolder() + "INITIAL/SEARCH1.KRD", "Odd zips",
                                  {{"Odd zips", "", "19001", "19001", "ZIP", false}}));
        list.list->SETTABS();
        list.openTab(1);
        QTRY_COMPARE(list.count(), QString("300"));
        QCOMPARE(list.column().front(), QString("NAME 0001"));
        list.openTab(0);
        QTRY_COMPARE(list.count(), QString("600"));
        QCOMPARE(list.column(0).mid(0, 2), QStringList({"3000000", "3000001"}));
        QCOMPARE(list.column(0).back(), QString("3000599"));
    }

    // Exclude marks the company on every lookup tab; its record window opened
    // from a lookup tab stores what is typed; the company selected shows beside the grid.
    void excludeMarksTheCompanyAndTheRecordStoresWhatIsTyped()
    {
        Open open;
        ResultList& list = open.page;
        open.saveLookup("SEARCH1.KRD", "All of Springfield", "00000", "99999");
        open.saveLookup("SEARCH2.KRD", "Miller", "MILLER & SONS", "MILLER & SONS", false, "NAME1");
        list.openTab(1);
        QStringList headings;
        for (int column = 0; column < 4; ++column)
            headings << list.lookupGrid()->model()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(headings, QStringList({"File", "Seq.", "Name", "Expires"}));
        // The empty search box names the column it searches, which follows the sort.
        QCOMPARE(list.searchBox()->placeholderText(), QString("Searches Name"));
        list.clickHeader(0);
        QCOMPARE(list.searchBox()->placeholderText(), QString("Searches File"));
        list.clickHeader(2);
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
        // The buttons' tooltips tell their keys.
        QCOMPARE(list.markButton()->toolTip(),
                 QString("Leaves the company out of this lookup, or takes it back in (Ctrl+M)"));
        QCOMPARE(list.child<QPushButton>("Command1")->toolTip(),
                 QString("Opens the company's record (Ctrl+I)"));
        // Enter and a double click on a company open its record.
        QStringList opened;
        const auto closeTheNextRecord = [&opened] {
            auto* timer = new QTimer;
            QObject::connect(timer, &QTimer::timeout, [timer, &opened] {
                auto* window = qobject_cast<KRLISTI*>(QApplication::activeModalWidget());
                if (!window)
                    return;
                opened << window->windowTitle();
                timer->stop();
                timer->deleteLater();
                RecordWindow{window}.close();
            });
            timer->start(5);
        };
        list.lookupGrid()->setFocus();
        closeTheNextRecord();
        QTest::keyClick(list.lookupGrid(), Qt::Key_Return);
        QCOMPARE(opened, QStringList({"MILLER & SONS"}));
        const QRect first = list.lookupGrid()->visualRect(list.lookupGrid()->model()->index(0, 2));
        closeTheNextRecord();
        QTest::mouseClick(list.lookupGrid()->viewport(), Qt::LeftButton, {}, first.center());
        QTest::mouseDClick(list.lookupGrid()->viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(opened, QStringList({"MILLER & SONS", "MILLER & SONS"}));
        // On all companies the button cannot be used, and names the mark of the company shown.
        list.openTab(0);
        QCOMPARE(list.searchBox()->placeholderText(), QString("Searches Company Name"));
        QVERIFY(!list.markButton()->isEnabled());
        QCOMPARE(list.markButton()->text(), QString("Include"));
        list.search("Zen");
        QCOMPARE(list.markButton()->text(), QString("Exclude"));
        // Past the last row the company stays and the box says so, until it finds one.
        const auto notFoundShown = [&list] {
            return !list.child<QLabel>("lblNotFound")->isHidden();
        };
        list.search("acme");
        QVERIFY(!notFoundShown());
        list.search("~");
        QCOMPARE(list.current(), QString("acme widgets"));
        QVERIFY(notFoundShown());
        list.search("Zen");
        QCOMPARE(list.current(), QString("Zenith Labs"));
        QVERIFY(!notFoundShown());

        list.openTab(1);
        list.search("acme");
        QString caption;
        bool assignedRiskShown = true;
        open.data.onModal<KRLISTI>([&caption, &assignedRiskShown](KRLISTI* window) {
            RecordWindow record{window};
            caption = window->windowTitle();
            assignedRiskShown = window->findChild<QWidget*>("AssignedRisk") != nullptr;
            record.notes()->setPlainText("Quote sent");
            record.type("UserPhone", "215-555-0177");
            record.close();
        });
        list.child<QPushButton>("Command1")->click();
        // The caption names the company; a Pennsylvania company has no New Jersey box.
        QCOMPARE(caption, QString("acme widgets"));
        QVERIFY(!assignedRiskShown);
        list.openTab(0);
        list.search("acme");
        QCOMPARE(list.phone(), QString("215-555-0177"));
        QVERIFY(list.notesFlagShown());
        list.search("smith");
        QCOMPARE(list.address(), QString("SMITH TOOL CO\n12 MAIN ST\nSPRINGFIELD, PA  19064"));
        // A user phone of blanks does not hide the delivered one.
        QCOMPARE(list.phone(), QString("215-555-0100"));
        QCOMPARE(list.modTrend(),
                 QString("Latest mod 1.050, +0.100 from the prior mod, 1 year over 1.00"));
        QVERIFY(!list.notesFlagShown());
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
            QVERIFY(editor.child<QRadioButton>("SQLINCLUDE")->isChecked());
            QCOMPARE(editor.criteria(), QStringList({"County|09 Thru 09|Include",
                                                     "Experience Mod.|1.000 Thru 9.999|Include",
                                                     "SIC Code|2000 Thru 2099|Exclude"}));
            editor.ok();
            if (window->isVisible())
                window->reject();
        });
        app.master().findChild<QAction*>("SSRibbon1_0")->trigger();
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
        editor.child<QPushButton>("DELETE")->click();
        QCOMPARE(editor.criteria(),
                 QStringList({"County|09 Thru 09|Include", "Zip Code|19007 Thru 19007|Include"}));
        editor.criteriaGrid()->setFocus();
        // Escape is Cancel: it leaves without a file.
        QTest::keyClick(editor.criteriaGrid(), Qt::Key_Escape);
        QVERIFY(!open.window->isVisible());
        QVERIFY(open.app.list().lookupTabs().folder().lookupFiles().empty());
    }

    void pickListFillsFromThenThruAndTheFieldsFollowTheState()
    {
        {
            // New York's expiration is its anniversary.
            OpenEditor newYork("NY");
            newYork.editor.add(Field::ExpirationDate, "0101");
            QCOMPARE(newYork.editor.criteria(),
                     QStringList({"Anniversary|0101 Thru 1231|Include"}));
        }
        OpenEditor open;
        LookupEditor& editor = open.editor;
        editor.choose(Field::SicCode);
        QCOMPARE(editor.pickColumn(1).first(), QString("Bread and Bakery Products"));
        // A header click sorts by codes, and the search then goes by code.
        emit editor.pickList()->horizontalHeader()->sectionClicked(0);
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

        // Fields of other databases are refused when chosen.
        editor.choose(Field::ZipCode);
        LookupEditor::type(editor.from(), "190");
        editor.choose(Field::MeritClass);
        QCOMPARE(open.app.messageTexts(),
                 QStringList({"This field can only be used with PM & DM Databases."}));
        editor.accept();
        QCOMPARE(editor.criteria(), QStringList({"Zip Code|00190 Thru 00190|Include"}));
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
            QCOMPARE(open.app.tabs()->count(), tabs.size() + 1);
            for (int tab = 1; tab < open.app.tabs()->count(); ++tab)
                QCOMPARE(open.app.tabs()->tabText(tab), tabs[tab - 1]);
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

    // The window starts in the home folder and keeps it when a missing one is
    // chosen; Cancel leaves without starting any work, Start installs only a
    // good archive and asks for the state.
    void theUpgradeWindowInstallsOnlyAGoodArchive()
    {
        WindowFixture fixture;
        const QString missing = QDir::homePath() + "/no such folder";
        {
            KRUPGRD cancelled(nullptr, fixture.programFolder(), {});
            cancelled.setFolder(missing);
            QCOMPARE(cancelled.folder(), QDir::homePath());
            cancelled.show();
            named<QPushButton>(&cancelled, "Command2")->click();
            QCOMPARE(cancelled.result(), int(QDialog::Rejected));
            QVERIFY(!cancelled.workStarted());
        }
        TempFolder source;
        bool released = false;
        KRUPGRD window(nullptr, fixture.programFolder(), [&released] { released = true; });
        window.show();
        window.setFolder(QString::fromStdString(source.path()));
        const QString shown = window.folder();
        QCOMPARE(shown + '/', QString::fromStdString(source.path()));
        const auto start = [&window] { named<QPushButton>(&window, "Command1")->click(); };
        start();
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"Error Reading Drive " + missing,
                              "The KORA*.ZIP file was not found in the directory (" + shown +
                                  ")  Please select the correct path and try again."}));
        QVERIFY(window.isVisible());
        QCOMPARE(window.ending(), SelfUpgrade::Ending::NoArchive);
        QVERIFY(!released);

        writeFile(source.file("KORA1.ZIP"), "not a zip");
        start();
        QCOMPARE(fixture.messageTexts().size(), 3);
        QVERIFY(fixture.messageTexts().last().endsWith("Technical Support. (19)"));
        QVERIFY(window.isVisible());
        QCOMPARE(window.ending(), SelfUpgrade::Ending::NothingInstalled);
        QCOMPARE(named<QProgressBar>(&window, "status1")->value(), 0);

        ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORA.HLP", "new help"}});
        start();
        QVERIFY(released);
        QCOMPARE(window.ending(), SelfUpgrade::Ending::SelectState);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(named<QLabel>(&window, "Label1")->isHidden());
    }

    void drawsTheModsOldestFirstWithALineAtOne()
    {
        std::vector<ResultListData::Mod> newestFirst;
        for (const auto& [date, mod] : {std::pair{"2026-07-01", 1.046},
                                        {"2025-07-01", 1.0},
                                        {"2024-07-01", 9.886},
                                        {"2023-07-01", 0.88}})
            newestFirst.push_back({date, date, date, Value(mod)});
        ModChart chart;
        chart.setMods(newestFirst);
        const auto day = [](const char* date) {
            return qreal(
                QDate::fromString(date, Qt::ISODate).startOfDay(Qt::UTC).toMSecsSinceEpoch());
        };
        // The merit code is no mod; the newest stands at the right.
        QCOMPARE(chart.mods()->points(), (QList<QPointF>{{day("2023-07-01"), 0.88},
                                                         {day("2025-07-01"), 1.0},
                                                         {day("2026-07-01"), 1.046}}));
        // Every year the mods span is labelled once, the line at 1.00 across them all.
        QCOMPARE(chart.averageLine()->points(),
                 (QList<QPointF>{{day("2023-01-01"), 1.0}, {day("2027-01-01"), 1.0}}));
        QCOMPARE(chart.yearLabels(), QStringList({"2023", "2024", "2025", "2026"}));
        QCOMPARE(QPointF(chart.modAxis()->min(), chart.modAxis()->max()), QPointF(0.7, 1.2));
        QCOMPARE(chart.chart()->title(), QString());
        chart.setMods({{"2021-03-01", "2021-03-01", "2021-03-01", Value(1.2)},
                       {"2021-01-01", "2021-01-01", "2021-01-01", Value(1.1)}});
        QCOMPARE(chart.yearLabels(), QStringList({"2021"}));
        chart.setMods({});
        QCOMPARE(chart.mods()->count(), 0);
        QCOMPARE(chart.chart()->title(), QStringLiteral("No mods on file"));
    }

    void countsWhileTypedAndEachGroupingWhenItIsShown()
    {
        BreakdownDatabase state;
        // A count that settles longer than the editor waits before it says so.
        LiveCountLabel label(state.db(), nullptr, 1500ms);
        label.countFor({kora::test::criterion(FieldCatalogue::County, "101", "101")});
        QCOMPARE(label.text(), QString());
        QTRY_COMPARE_WITH_TIMEOUT(label.text(), QStringLiteral("Counting\u2026"), 1200);
        QTRY_COMPARE(label.text(), QStringLiteral("3 companies match"));

        BreakdownWindow all(state.db(), LookupStatement{}, QStringLiteral("All Companies"));
        QCOMPARE(all.windowTitle(), QStringLiteral("Breakdown - All Companies"));
        QCOMPARE(all.tableText(), QStringLiteral("003\tALLEGHENY\t2\n101\tPHILADELPHIA\t2\n"));
        QCOMPARE(all.findChild<QLabel*>(QStringLiteral("lblOmitted"))->text(),
                 QStringLiteral("1 company marked to leave out is not counted."));
        // Each grouping is counted when it is first shown.
        QVERIFY(all.table(Breakdown::By::ModBand) == nullptr);
        all.showGrouping(Breakdown::By::ModBand);
        // The bars read top down like the table: the chart draws the last first.
        const QBarSet* bars = all.bars(Breakdown::By::ModBand);
        QCOMPARE(bars->count(), 4);
        for (int bar = 0; bar < bars->count(); ++bar)
            QCOMPARE(bars->at(bar), 1.0);
        QCOMPARE(all.tableText(),
                 QStringLiteral("1\tbelow 0.90\t1\n3\t1.00-1.09\t1\n4\t1.10-1.24\t1\n"
                                "5\t1.25 and above\t1\n"));

        LookupStatement lookup;
        lookup.condition = "COUNTY = '101'";
        lookup.orderBy = " ORDER BY NAME1";
        BreakdownWindow window(state.db(), lookup, QStringLiteral("Philadelphia"));
        window.showGrouping(Breakdown::By::ModBand);
        window.findChild<QPushButton*>(QStringLiteral("COPY"))->click();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("4\t1.10-1.24\t1\n5\t1.25 and above\t1\n"));
    }

    void eachLayoutAsksItsFileThenWritesItAndReplacingOneIsAskedFirst()
    {
        const struct
        {
            int layout;
            QString fileName;
            int filterIndex;
            QString suffix;
            QByteArray start;
        } cases[] = {{0, "EXPORT.CSV", 1, "csv", "\"MOD8\",\"CLASS1\""},
                     {1, "EXPORT.TXT", 2, "txt", "\"MOD8\"\t\"CLASS1\""},
                     {2, "EXPORT.TXT", 2, "txt", "0000001-01ACME WIDGET CO"},
                     {3, "EXPORT.CSV", 1, "csv", "\"MOD4\"\r\n\"0000001-01\",\"ACME WIDGET CO\","},
                     {4, "EXPORT.XLSX", 3, "xlsx", "PK\x03\x04"}};
        ExportFixture data;
        // The messages since the last look.
        qsizetype seen = 0;
        const auto newMessages = [&data, &seen] {
            const QStringList texts = data.messageTexts().mid(seen);
            seen = data.messages().size();
            return texts;
        };
        const QString programFolder = QDir::cleanPath(QString::fromStdString(data.programFolder()));
        for (const auto& [layout, fileName, filterIndex, suffix, start] : cases) {
            data.chosenFile.clear();
            data.asked.clear();
            // The other layout first: the defaults switch back and forth with the choice.
            data.open(layout == 1 ? 0 : 1).ok();
            const ExportWindow window = data.open(layout);
            QDir::setCurrent(QDir::tempPath());
            window.ok();

            QCOMPARE(data.asked.size(), 2);
            QCOMPARE(data.asked.first().fileName,
                     QString(layout == 1 ? "EXPORT.CSV" : "EXPORT.TXT"));
            const Dialogs::FileRequest& request = data.asked.last();
            QCOMPARE(request.kind, Dialogs::FileRequest::Kind::Save);
            // The documents folder first, then the folder of the last export.
            QCOMPARE(request.directory,
                     layout == 0 ? QString::fromStdString(data.master().values().documentsFolder)
                                 : programFolder);
            QCOMPARE(request.fileName, fileName);
            QCOMPARE(request.filterIndex, filterIndex);
            QCOMPARE(request.defaultSuffix, suffix);
            QVERIFY(request.filters.value(filterIndex).contains("(*." + suffix + ")"));
            QCOMPARE(request.confirmOverwrite, false);
            // Cancelled: the window stays, the current folder is the program's again.
            QVERIFY(window.shown());
            QCOMPARE(QDir::current().absolutePath() + "/",
                     QString::fromStdString(data.programFolder()));

            data.choose(QString("LAYOUT%1.%2").arg(layout).arg(suffix));
            window.ok();
            QVERIFY(data.chosenBytes().contains(start));
            QCOMPARE(newMessages(),
                     QStringList{"Export done: 1 company written to " + data.chosenFile});
            QVERIFY(!window.shown());
        }

        // The fixed layout by expiration, through the scratch database.
        for (int i = 11; i <= 20; ++i) {
            const char* name = i == 11 ? "ZULU FARMS" : "OTHER";
            data.addCompany("00000" + std::to_string(i), "01", "NAME1, NAMESORT, Omit",
                            {name, name, " "});
        }
        data.db().execute("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES "
                          "('0000011', '01', '2026-12-10', '2026-12-10', 1.2)");
        data.choose("FIXED.TXT");
        const ExportWindow byExpiration =
            data.open(2, "SELECT * FROM PRIME WHERE FILE IN ('0000001', '0000011') "
                         "ORDER BY NAME1");
        byExpiration.child<QRadioButton>("EXPIRE")->click();
        byExpiration.child<QCheckBox>("RENEWAL")->click(); // the calendar order
        byExpiration.ok();
        const QByteArray fixed = data.chosenBytes();
        const int line = 10 + 253 + 120 + 540 + 2;
        QCOMPARE(fixed.size(), 2 * line);
        QVERIFY(fixed.startsWith("0000011-01ZULU FARMS"));
        QVERIFY(fixed.mid(line).startsWith("0000001-01ACME WIDGET CO"));
        QCOMPARE(fixed.mid(line + 10 + 253, 30),
                 QByteArray("03/15/20260.95 " + QByteArray(10, ' ') + "1.1  "));
        QCOMPARE(newMessages().size(), 1);

        // Replacing a file is asked first, and No keeps the old file.
        data.choose("EXPORT.TXT", "OLD CONTENT");
        const QDir program(QString::fromStdString(data.programFolder()));
        const QStringList programFiles = program.entryList(QDir::Files | QDir::Hidden);
        const ExportWindow window = data.open(3);
        window.child<QCheckBox>("LOWERCASE")->setChecked(true);
        data.queueAnswer(QMessageBox::No);
        window.ok();
        QCOMPARE(newMessages(), QStringList({"Replace Existing File?"}));
        QCOMPARE(data.messages().last().defaultButton, QMessageBox::No);
        QCOMPARE(data.chosenBytes(), QByteArray("OLD CONTENT"));
        QCOMPARE(window.child<QLineEdit>("OUTPATH")->text(), data.chosenFile);
        QVERIFY(window.shown());
        QCOMPARE(program.entryList(QDir::Files | QDir::Hidden), programFiles);

        data.queueAnswer(QMessageBox::Yes);
        window.ok();
        const QByteArray bytes = data.chosenBytes();
        QVERIFY(bytes.startsWith("\"FILE\",\"NAME1\",\"NAME2\",\"STREET\","));
        QVERIFY(
            bytes.contains("\"MOD4\"\r\n\"0000001-01\",\"Acme Widget Co\",\"\",\"1 Main St\","));
        QCOMPARE(newMessages(),
                 QStringList({"Replace Existing File?",
                              "Export done: 1 company written to " + data.chosenFile}));
        QCOMPARE(window.child<QLabel>("Label1")->text(),
                 QString("Exporting information on 1 companies"));
        QCOMPARE(window.child<QLineEdit>("SHOWCOUNT")->text(), QString("1"));
        QVERIFY(!window.shown());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);

        // Export Record writes the selected company alone.
        data.choose("ONE.CSV");
        data.list().show();
        data.list().SORT_SELECT(2);
        data.list().positionOn("0000001", "01");
        data.onModal<KREXPORT>([](KREXPORT* window) {
            ExportWindow{window}.chooseLayout(3);
            ExportWindow{window}.ok();
        });
        named<QPushButton>(&data.list(), "EXPORTCUR")->click();
        const QByteArray one = data.chosenBytes();
        QCOMPARE(one.count("\r\n"), 2);
        QVERIFY(one.contains("\r\n\"0000001-01\",\"ACME WIDGET CO\","));
    }

    // Each failure is told, keeps an old file whole and leaves no scratch file
    // or busy cursor behind; too much data is refused before a file is asked for.
    void aFailedExportIsToldAndKeepsTheOldFile()
    {
        const struct
        {
            const char *file, *oldContent;
            int layout;
            bool allCompanies;
            rlim_t sizeLimit;
            QString messages;
        } cases[] = {
            {"ALL.CSV", "OLD CONTENT", 0, true, RLIM_INFINITY, "YOU ARE EXPORTING TOO MUCH DATA"},
            {"missing/EXPORT.CSV", nullptr, 0, false, RLIM_INFINITY, "CANNOT CREATE OUTPUT FILE!"},
            {"EXPORT.XLSX", "OLD CONTENT", 4, false, 200,
             "Replace Existing File?|CANNOT WRITE OUTPUT FILE! %1: File too large"}};
        for (const auto& [file, oldContent, layout, allCompanies, sizeLimit, messages] : cases) {
            ExportFixture data;
            data.choose(file, oldContent);
            const ExportWindow window = data.open(
                layout, allCompanies ? "SELECT * FROM PRIME ORDER BY NAME1" : kOneCompany);
            data.queueAnswer(QMessageBox::Yes);
            {
                const FileSizeLimit limit(sizeLimit);
                window.ok();
            }
            QCOMPARE(data.messageTexts().join('|'),
                     QString(messages).replace("%1", data.chosenFile));
            QCOMPARE(data.asked.size(), layout == 0 && oldContent ? 0 : 1);
            QCOMPARE(data.chosenBytes(), QByteArray(oldContent ? oldContent : "(missing)"));
            const QDir folder(QString::fromStdString(data.programFolder()));
            QVERIFY(folder.entryList({"*.partial"}, QDir::Files | QDir::Hidden).isEmpty());
            QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
            QVERIFY(!window.shown());
        }
    }

    // The summary goes to the printer without the omitted company; the preview
    // is owned by the main window and shows no printer settings; copies take
    // digits and each showing starts over on detail and one copy.
    void summaryThePreviewAndTheCopies()
    {
        PrintFixture fixture;
        const PrintWindow print(fixture, fixture.everyone());
        print.choose("SUMMARY");
        print.ok();
        QVERIFY(!print.window.isVisible());
        QVERIFY(fixture.messageTexts().isEmpty());
        QCOMPARE(print.status(), QString("Gathering information on 3 companies"));
        QCOMPARE(print.child<QLineEdit>("SHOWCOUNT")->text(), QString("2"));
        const QString text = fixture.page(0);
        QCOMPARE(pdfPages(fixture.pdf()), 1);
        for (const char* shown : {"BAKERS AND TOOLMAKERS", "State: PA", "ERIE, PA 16501"})
            QVERIFY2(text.contains(shown), qPrintable(text));
        QVERIFY(!text.contains("MARKED OUT"));
        QVERIFY(text.indexOf("ACORN BAKERY") < text.indexOf("ZENITH TOOL"));
        // The report's sheet does not stay on the user's printer.
        QCOMPARE(fixture.master().printer().copyCount(), 1);

        std::filesystem::remove(fixture.pdf());
        const PrintWindow preview(fixture, fixture.everyone());
        preview.choose("POUTPUT_1");
        for (const char* name : {"COPIES", "LCOPIES", "SETUPCMD"})
            QVERIFY2(preview.child<QWidget>(name)->isHidden(), name);
        int pages = -1;
        QWidget* owner = nullptr;
        fixture.onModal<QPrintPreviewDialog>([&](QPrintPreviewDialog* shown) {
            owner = shown->parentWidget();
            auto* pagesShown = shown->findChild<QPrintPreviewWidget*>();
            pagesShown->updatePreview();
            pages = pagesShown->pageCount();
            shown->reject();
        });
        preview.ok();
        QCOMPARE(owner, static_cast<QWidget*>(&fixture.master()));
        QCOMPARE(pages, 2);
        QVERIFY(!preview.window.isVisible());
        QVERIFY(!std::filesystem::exists(fixture.pdf()));

        int offered = 0;
        Dialogs::setPrinterScript([&offered](QPrinter& printer) {
            offered = printer.copyCount();
            printer.setCopyCount(3);
            return true;
        });
        PrintWindow copying(fixture, fixture.everyone());
        for (const auto& [typed, kept] :
             {std::pair<QString, QString>{"2a", "2"}, {"-1 +2.", "12"}, {"12345", "123"}}) {
            copying.copies()->clear();
            QTest::keyClicks(copying.copies(), typed);
            QCOMPARE(copying.copies()->text(), kept);
        }
        QTest::keyClick(copying.copies(), Qt::Key_Backspace);
        QCOMPARE(copying.copies()->text(), QString("12"));
        // Printer Setup starts from the copies typed and sets them.
        copying.child<QPushButton>("SETUPCMD")->click();
        Dialogs::setPrinterScript({});
        QCOMPARE(offered, 12);
        QCOMPARE(copying.window.copies(), 3);
        copying.choose("SUMMARY");
        copying.window.hide();
        copying.window.show();
        QCOMPARE(copying.window.format(), PrintRun::Format::Detail);
        QCOMPARE(copying.window.copies(), 1);
        copying.child<QPushButton>("Command2")->click();
        QCOMPARE(copying.window.result(), int(QDialog::Rejected));
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void eachSortOrdersTheDetailPagesAndAFullDiskKeepsTheOldPdf()
    {
        PrintFixture fixture;
        // Zenith renews in March; the bakery at the year's end, though its newest
        // mod is older and an older one expired in January.
        fixture.db().execute(
            "INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) VALUES "
            "('1000001', '01', '2026-01-20', '2026-03-15', '2027-03-15', 0.91), "
            "('1000001', '01', '2025-01-20', '2025-03-15', '2026-03-15', 0.95), "
            "('1000003', '01', '2024-11-20', '2024-12-31', '2025-12-31', 1.12), "
            "('1000003', '01', '2022-12-01', '2023-01-01', '2024-01-01', 1.05)");
        // Without mods: no expiration, printed after the others.
        fixture.addCompany("1000004", "01", "NAME1, ZIP, Omit", {"BARE SHELF CO", "15001", " "});
        const QStringList names = {"ACORN BAKERY", "BARE SHELF CO", "ZENITH TOOL"};
        const std::pair<const char*, QStringList> orders[] = {
            {"NAME1", names},
            {"ZIP", {"BARE SHELF CO", "ZENITH TOOL", "ACORN BAKERY"}},
            {"EXPIRE", {"ZENITH TOOL", "ACORN BAKERY", "BARE SHELF CO"}}};
        for (const auto& [sort, order] : orders) {
            const PrintWindow window(fixture, fixture.everyone());
            window.choose(sort);
            named<QCheckBox>(&window.window, "RENEWAL")->setChecked(false); // the calendar order
            window.ok();
            QStringList printed;
            for (int page = 1; page <= pdfPages(fixture.pdf()); ++page)
                for (const QString& name : names)
                    if (fixture.page(page).contains(name))
                        printed << name;
            QCOMPARE(printed, order);
        }

        // A full disk keeps the old PDF and says why: enough pages for a PDF
        // larger than the limit, which the scratch database is not.
        for (int i = 0; i < 40; ++i)
            fixture.addCompany(std::to_string(2000000 + i), "01", "NAME1, Omit",
                               {"FILLER " + std::to_string(i), " "});
        writeFile(fixture.pdf(), "OLD CONTENT");
        const PrintWindow print(fixture, fixture.everyone());
        {
            const FileSizeLimit limit(48 * 1024);
            print.ok();
        }
        QCOMPARE(fixture.messageTexts(),
                 QStringList{
                     QString::fromStdString("Cannot write " + fixture.pdf() + ": File too large")});
        QCOMPARE(fileBytes(fixture.pdf()), std::string("OLD CONTENT"));
        QVERIFY(print.window.isVisible());
        QCOMPARE(QDir(QString::fromStdString(fixture.temporaryFolder()))
                     .entryList({"*printed.pdf*"}, QDir::Files | QDir::Hidden),
                 QStringList{"printed.pdf"});
    }

    // A missing file or printer is said before anything is printed, and the window stays.
    void aMissingFileOrPrinterIsSaidAndTheWindowStays()
    {
        const char* cases[][3] = {
            {"REPORT.MDB", "FULL", "KRPRINT CMD1 CANNOT FIND SYSTEM DIRECTORY!"},
            {"KRLABELL.RPT", "LASERLABEL",
             "The Report File (KRLABELL.RPT) Is Missing or Not Loading"},
            // A printer of a system without printers: PDF output to no file.
            {"", "FULL", nullptr}};
        for (const auto& [removed, format, message] : cases) {
            PrintFixture fixture;
            if (message)
                std::filesystem::remove(fixture.programFolder() + removed);
            else
                fixture.master().printer().setOutputFileName(QString());
            const PrintWindow print(fixture, fixture.everyone());
            print.choose(format);
            print.ok();
            QCOMPARE(fixture.messageTexts(),
                     QStringList{message ? message : PrinterOutput::missingPrinterMessage()});
            QVERIFY(print.window.isVisible());
            QVERIFY(!std::filesystem::exists(fixture.pdf()));
            QVERIFY(message || print.status().isEmpty());
        }
    }

    void aLongNoteOrNameKeepsToItsPageOrLabel()
    {
        PrintFixture fixture;
        std::string note;
        QStringList expected;
        for (int n = 1; n <= 40; ++n) {
            expected << QString("Call %1:").arg(n);
            note += expected.last().toStdString() +
                    " the owner asked for a quote before the renewal and a copy of the loss "
                    "runs for the last three years. ";
        }
        fixture.db()
            .prepare("UPDATE NOTES SET NOTES = ? WHERE FILE = '1000003'")
            .bind(1, Value(note))
            .run();
        print(fixture, "FULL", "NAME1", fixture.everyone());
        QCOMPARE(pdfPages(fixture.pdf()), 3);
        const QString second = fixture.page(2);
        QVERIFY(second.contains("ACORN BAKERY - notes continued"));
        QVERIFY(second.contains("BAKERS AND TOOLMAKERS"));
        QVERIFY(!second.contains("Mod History"));
        // Every call once, in order, over both pages (a line may end inside one).
        QStringList calls;
        for (const QRegularExpressionMatch& call :
             QRegularExpression("Call \\d+:").globalMatch((fixture.page(1) + second).simplified()))
            calls << call.captured();
        QCOMPARE(calls, expected);
        QVERIFY(second.contains("Call 40:"));
        QVERIFY(fixture.page(3).contains("ZENITH TOOL"));

        // The label after the bakery's, in points: 2-5/8" x 1" laser labels three
        // across from 3/16" and 1/2" margins with 1/8" gaps; 3-1/2" x 15/16" dot
        // matrix labels one across, 1/4" from the left, 1" from label to label.
        const std::string longName = "MOUNTAIN VIEW MECHANICAL CONTRACTORS INC";
        fixture.addCompany(
            "1000004", "01", "NAME1, STREET, CITY, ST, ZIP, Omit",
            {longName, "4410 INDUSTRIAL PARK BLVD", "HARRISBURG", "PA", "17109", " "});
        const std::pair<const char*, QRectF> labels[] = {
            {"LASERLABEL", QRectF(13.5 + 198, 36, 189, 72)},
            {"DOTLABEL", QRectF(18, 72, 252, 67.5)}};
        for (const auto& [format, label] : labels) {
            print(fixture, format, "NAME1", fixture.everyone());
            const auto words = pdfWords(fixture.pdf(), 1);
            const auto name = wordsSpelling(words, longName);
            const auto shortName = wordsSpelling(words, "ACORN BAKERY");
            const auto street = wordsSpelling(words, "4410 INDUSTRIAL PARK BLVD");
            QVERIFY2(!name.empty() && !shortName.empty() && !street.empty(), format);
            for (const PdfWord& word : name) {
                QVERIFY2(word.xMin >= label.left() && word.xMax <= label.right(), format);
                QVERIFY2(word.yMin >= label.top() && word.yMax <= label.bottom(), format);
                QCOMPARE(word.height(), name.front().height());
            }
            QVERIFY(name.front().height() < shortName.front().height() * 0.99);
            QCOMPARE(street.front().height(), shortName.front().height());
        }
    }

    // The first company of each state has its specifics (regular expressions
    // over the first page's text), the second none.
    void newYorkAndNewJerseyDetailPages()
    {
        const struct
        {
            std::string state, file;
            QStringList present, absent;
        } cases[] = {
            {"NY",
             "244 88 12",
             {"State: NY", "FULL ADDRESS\\s+EMPIRE GLASS WORKS",
              "ATTN: ROSE PARK\\s+12 PIER RD\\s+BUFFALO NY 14201-3304", "REVISED\\s+Yes",
              "INTERSTATE\\s+No", "01/10/2025\\s+02/16/2026\\s+0\\.912", "02/13/2025\\s+0\\.947"},
             // The lookup print leaves New York's effective dates out.
             {"02/15/2025", "02/14/2024", "assigned risk"}},
            {"NJ",
             "2595735",
             {"State: NJ", "N\\.J\\. assigned risk since 07/98",
              "Est\\. premium 12,500.*Total premium 14,200", "Total losses 3,100",
              "PPAP YES.*CCPAP NO", "01/10/2025\\s+02/15/2025\\s+02/16/2026\\s+0\\.912"},
             {"FULL ADDRESS", "REVISED", "0012500"}}};
        for (const auto& [state, file, present, absent] : cases) {
            PrintFixture fixture(state);
            fixture.addCompany(
                file, "01", "NAME1, STREET, CITY, ST, ZIP, ZIPEXT, Omit",
                {"EMPIRE GLASS WORKS", "12 PIER RD", "BUFFALO", state, "14201", "3304", " "});
            fixture.db()
                .prepare("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) VALUES "
                         "(?1, '01', '2025-01-10', '2025-02-15', '2026-02-16', 0.912), (?1, "
                         "'01', '2024-01-09', '2024-02-14', '2025-02-13', 0.947)")
                .bind(1, Value(file))
                .run();
            if (state == "NY") {
                fixture.db().execute("UPDATE PRIME SET REVISED = 1, INTERSTATE = 0 WHERE NAME1 = "
                                     "'EMPIRE GLASS WORKS'");
                fixture.db()
                    .prepare(
                        "INSERT INTO ADDRESSES (FILE, SEQUENCE, ADDRESSES) VALUES (?, '01', ?)")
                    .bindAll({file, "EMPIRE GLASS WORKS\r\nATTN: ROSE PARK\r\n12 PIER RD\r\n"
                                    "BUFFALO NY 14201-3304\r\n"})
                    .run();
            } else {
                fixture.db().execute("UPDATE PRIME SET NJAR = 9807, ARESTPREM = '0012500', "
                                     "ARTOTPREM = '0014200', ARTOTLOSS = '0003100', NJPPAP = "
                                     "'YES', NJCCPAP = 'NO' WHERE NAME1 = 'EMPIRE GLASS WORKS'");
            }
            // Empire, then Zenith: the bakery is left out and the third company is omitted.
            print(fixture, "FULL", "NAME1",
                  {"SELECT * FROM PRIME WHERE FILE <> '1000003' ORDER BY NAME1",
                   QString::fromStdString(state + " GLASS"), 3});
            QCOMPARE(pdfPages(fixture.pdf()), 2);
            const QString first = fixture.page(1);
            for (const QString& pattern : present)
                QVERIFY2(first.contains(QRegularExpression(pattern)),
                         qPrintable(pattern + " not in\n" + first));
            for (const QString& pattern : absent)
                QVERIFY2(!first.contains(QRegularExpression(pattern)), qPrintable(pattern));
            const QString second = fixture.page(2);
            QVERIFY(second.contains("ZENITH TOOL"));
            QVERIFY(!second.contains("assigned risk") && !second.contains("Yes"));
        }
    }

    // Print Search prints the lookup tab shown; Print Record the selected
    // company even if omitted; Print Manual the manual line by line over pages.
    void theLookupTheRecordAndTheManualArePrinted()
    {
        PrintFixture fixture;
        std::ofstream(fixture.programFolder() + "INITIAL/SEARCH1.KRD", std::ios::binary)
            << "\"ERIE ZIPS\",\"Zip Code\",\"16500\",\"16599\",\"ZIP\",#FALSE#\r\n";
        fixture.list().show();
        fixture.list().SETTABS();
        fixture.list().selectTab(1);
        const KRPRINT::Lookup lookup = fixture.list().lookupToPrint();
        QCOMPARE(lookup.title, QString("ERIE ZIPS"));
        QCOMPARE(lookup.count, 2);
        QVERIFY(QString::fromStdString(lookup.recordSource).contains("ORDER BY"));
        PrintWindow(fixture, lookup).ok();
        QString text = fixture.page(0);
        QCOMPARE(pdfPages(fixture.pdf()), 1);
        QVERIFY2(text.contains("ZENITH TOOL") && text.contains("ERIE ZIPS"), qPrintable(text));
        QVERIFY(!text.contains("MARKED OUT"));

        auto* grid = fixture.list().findChild<QTableView*>("TDBGrid4");
        const auto printRecord = [&](int row) {
            grid->setCurrentIndex(grid->model()->index(row, 2));
            named<QPushButton>(&fixture.list(), "PRINTCUR")->click();
        };
        printRecord(0); // by name: MARKED OUT INC, marked Omit
        QVERIFY(fixture.messageTexts().isEmpty());
        text = fixture.page(0);
        QCOMPARE(pdfPages(fixture.pdf()), 1);
        for (const char* shown : {"MARKED OUT INC", "Print Record", "State: PA"})
            QVERIFY2(text.contains(shown), qPrintable(text));

        std::filesystem::remove(fixture.pdf());
        std::filesystem::remove(fixture.programFolder() + "REPORT.MDB");
        printRecord(1);
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"KRLIST PRINTCUR CANNOT FIND SYSTEM DIRECTORY!"}));
        QVERIFY(!std::filesystem::exists(fixture.pdf()));

        QString status;
        fixture.onModal<KRMANUAL>([&status](KRMANUAL* window) {
            named<QPushButton>(window, "OK")->click();
            status = window->isVisible() ? "still open" : named<QLabel>(window, "Label2")->text();
            window->reject();
        });
        fixture.master().enableCommand(Command::PrintManualButton, true);
        const auto printManual = [&] {
            fixture.master().findChild<QAction*>("SSRibbon1_6")->trigger();
            return status;
        };
        // 130 lines, the last without a line break: three pages of 60 lines at most.
        {
            std::ofstream manual(fixture.programFolder() + "MANUAL.TXT", std::ios::binary);
            for (int n = 1; n < 130; ++n)
                manual << "Manual line " << n << "\r\n";
            manual << "The last line";
        }
        QCOMPARE(printManual(), QString("Printing Manual..."));
        text = fixture.page(0);
        QCOMPARE(pdfPages(fixture.pdf()), 3);
        for (const char* line : {"Manual line 1\n", "Manual line 129", "The last line"})
            QVERIFY2(text.contains(line), line);

        std::filesystem::remove(fixture.pdf());
        std::filesystem::remove(fixture.programFolder() + "MANUAL.TXT");
        QCOMPARE(printManual(), QString("still open"));
        QCOMPARE(fixture.messageTexts().last(),
                 KRMANUAL::missingManualMessage(
                     QString::fromStdString(fixture.programFolder() + "MANUAL.TXT")));
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void theBackupWindowChoosesAFolderAndBacksUpRestoresOrMerges()
    {
        NotesFixture fixture;
        const BackupWindow window(fixture.master());
        // OK without the tick: the backup goes to the program folder, no chooser.
        fixture.queueAnswer(QMessageBox::No);
        window.ok();
        QVERIFY(fixture.requests.isEmpty());
        QCOMPARE(fixture.messageTexts(),
                 QStringList({QString::fromStdString("Backup User Data and Notes to " +
                                                     fixture.localBackup() + "?")}));
        QVERIFY(window.window.isVisible());

        // Ticked, then the chooser left without a folder: the tick goes again.
        window.tick();
        QCOMPARE(fixture.requests.size(), 1);
        QVERIFY(!window.otherFolder()->isChecked());
        QVERIFY(!named<QLineEdit>(&window.window, "Dir1")->isVisible());

        // A folder that cannot be read is refused by name.
        fixture.folders << fixture.temporary() + "gone";
        window.tick();
        QCOMPARE(fixture.messageTexts().last(),
                 "Error Reading Drive " + fixture.temporary() + "gone");
        QVERIFY(!window.otherFolder()->isChecked());

        // A folder chosen, then untick and tick again: the chooser starts there.
        fixture.folders << fixture.temporary();
        window.tick();
        QVERIFY(window.otherFolder()->isChecked());
        window.tick();
        window.tick();
        QCOMPARE(fixture.requests.size(), 4);
        QCOMPARE(fixture.requests.last().directory + '/', fixture.temporary());
        // Left this time, the folder chosen before stays.
        QVERIFY(window.otherFolder()->isChecked());
        QCOMPARE(window.window.folder() + '/', fixture.temporary());

        // Back up to another folder, then restore and merge from it.
        fixture.set("NOTES", "NOTES", "100001", "Renewal in March");
        fixture.set("PRIME", "User1", "100002", "Key account");
        const QString other = fixture.temporary() + "diskette";
        QVERIFY(QDir().mkdir(other));
        const QString chosen = other + "/BACKUPPA.MDB";
        int restoredSignals = 0;
        // Runs an option on the other folder; true when the window stays.
        const auto run = [&](int option, QMessageBox::StandardButton answer) {
            const BackupWindow window(fixture.master());
            QObject::connect(&window.window, &KRNOTES::userDataRestored,
                             [&restoredSignals] { ++restoredSignals; });
            window.choose(option);
            fixture.folders << other;
            window.tick();
            fixture.queueAnswer(answer);
            window.ok();
            return window.window.isVisible();
        };
        QVERIFY(!run(1, QMessageBox::Yes));
        QCOMPARE(fileBytes(chosen.toStdString()), fileBytes(fixture.localBackup()));

        // Typed over since, and the local backup lost.
        fixture.set("NOTES", "NOTES", "100001", "typed later");
        fixture.set("PRIME", "User1", "100002", " ");
        std::filesystem::remove(fixture.localBackup());
        QVERIFY(!run(2, QMessageBox::Yes));
        QCOMPARE(restoredSignals, 1);
        QCOMPARE(fixture.note("100001", "00"), Value("Renewal in March"));
        QCOMPARE(fixture.field("100002", "00", "User1"), Value("Key account"));
        QVERIFY(!std::filesystem::exists(fixture.localBackup()));

        // A merge keeps the current note first; No changes nothing.
        fixture.set("NOTES", "NOTES", "100001", "typed later");
        QVERIFY(run(3, QMessageBox::No));
        QCOMPARE(fixture.note("100001", "00"), Value("typed later"));
        QCOMPARE(restoredSignals, 1);
        QVERIFY(!run(3, QMessageBox::Yes));
        QCOMPARE(fixture.note("100001", "00"), Value("typed later\r\nRenewal in March"));
        QCOMPARE(restoredSignals, 2);

        // The folder went away after it was chosen: the local backup is made, the copy fails.
        const BackupWindow ejected(fixture.master());
        const QString removed = fixture.temporary() + "ejected";
        QVERIFY(QDir().mkdir(removed));
        fixture.folders << removed;
        ejected.tick();
        QVERIFY(QDir().rmdir(removed));
        fixture.queueAnswer(QMessageBox::Yes);
        ejected.ok();
        QVERIFY(std::filesystem::exists(fixture.localBackup()));
        QCOMPARE(fixture.messageTexts().last(),
                 QString("Error copying file!  Make sure path is correct!"));
        QVERIFY(ejected.window.isVisible());
    }
    // With the expiration sort the next renewal comes first, unless the agent
    // asks for the calendar order: seen on December 8, the printout and the
    // export run from that day over the year's end to March, then December 1.
    void theNextRenewalComesFirstOverTheYearEnd()
    {
        const FixedToday today("2026-12-08");
        PrintFixture printing;
        addRenewals(printing);
        const PrintWindow print(printing, {kRenewalLookup, QStringLiteral("RENEWALS"), 7});
        auto* renewal = print.child<QCheckBox>("RENEWAL");
        QVERIFY(renewal->isChecked());
        QVERIFY(!renewal->isEnabled());
        print.choose("EXPIRE");
        QVERIFY(renewal->isEnabled());
        print.ok();
        QCOMPARE(printedRenewals(printing), kRenewalOrder);

        ExportFixture exporting;
        addRenewals(exporting);
        for (int i = 0; i < 60; ++i)
            exporting.addCompany(std::to_string(4000000 + i), "01", "NAME1, Omit", {"FILLER", " "});
        const QString path = QString::fromStdString(exporting.programFolder()) + "RENEWALS.CSV";
        for (const bool calendar : {false, true}) {
            const ExportWindow window = exporting.open(3, kRenewalLookup);
            window.child<QRadioButton>("EXPIRE")->click();
            QVERIFY(window.child<QCheckBox>("RENEWAL")->isChecked());
            if (calendar)
                window.child<QCheckBox>("RENEWAL")->click();
            typeExportPath(window, path);
            exporting.queueAnswer(QMessageBox::Yes);
            window.ok();
            QCOMPARE(exportedNames(path),
                     calendar ? QStringList({"DOGWOOD DEC 20", "MAPLE DEC 20", "ZEBRA DEC 8",
                                             "CEDAR DEC 1", "ELM NO MODS", "BIRCH MAR 15",
                                             "ACORN JAN 5"})
                              : kRenewalOrder);
        }
    }

    // A path typed into the box is taken without the save dialog, a bare name
    // in the folder of the last export; the window says when it is done, and
    // the next one starts on the last layout and opens its dialog in that folder.
    void theExportTakesATypedPathSaysItIsDoneAndRemembersLayoutAndFolder()
    {
        ExportFixture data;
        const QString folder = QString::fromStdString(data.programFolder()) + "renewals";
        QVERIFY(QDir().mkdir(folder));
        const ExportWindow first = data.open(1);
        QCOMPARE(first.child<QLineEdit>("OUTPATH")->text(), QString(".TXT"));
        typeExportPath(first, folder + "/DECEMBER.TXT");
        first.ok();
        QVERIFY(data.asked.isEmpty());
        QCOMPARE(data.messageTexts(),
                 QStringList{"Export done: 1 company written to " + folder + "/DECEMBER.TXT"});
        QVERIFY(fileBytes((folder + "/DECEMBER.TXT").toStdString())
                    .starts_with("\"FILE\"\t\"NAME1\"\t"));
        QVERIFY(!first.shown());

        const ExportWindow second = data.open(-1);
        QCOMPARE(chosenLayout(second), 1);
        typeExportPath(second, "JANUARY.TXT");
        second.ok();
        QVERIFY(data.asked.isEmpty());
        QCOMPARE(data.messageTexts().last(),
                 "Export done: 1 company written to " + folder + "/JANUARY.TXT");
        QVERIFY(fileBytes((folder + "/JANUARY.TXT").toStdString())
                    .starts_with("\"FILE\"\t\"NAME1\"\t"));

        // Nothing typed: the dialog opens in that folder; cancelled, the window stays.
        const ExportWindow third = data.open(-1);
        third.ok();
        QCOMPARE(data.asked.size(), 1);
        QCOMPARE(data.asked.first().directory, folder);
        QCOMPARE(data.asked.first().fileName, QString("EXPORT.TXT"));
        QVERIFY(third.shown());
        QCOMPARE(data.messages().size(), 2);
    }

    // Laser labels start at the place chosen on a used sheet, in the PDF file
    // chosen, and move by the shift kept for the printer; a test sheet
    // outlines every place instead of printing companies.
    void labelsStartAtThePlaceChosenAndMoveByThePrintersShift()
    {
        PrintFixture fixture;
        const std::string pdf = fixture.temporaryFolder() + "labels.pdf";
        std::vector<PdfWord> fifth;
        {
            LabelPrintWindow labels(fixture, "LASERLABEL");
            // A cancelled chooser prints nothing and keeps the window.
            labels.printTo({});
            for (const char* hidden : {"COPIES", "SETUPCMD"})
                QVERIFY2(labels.child<QWidget>(hidden)->isHidden(), hidden);
            QVERIFY(labels.window.isVisible() && fixture.messages().isEmpty());
            QVERIFY(!std::filesystem::exists(pdf));
            labels.startAt(5);
            labels.printTo(pdf);
            QCOMPARE(fixture.messageTexts(),
                     QStringList{QString::fromStdString("Printed to " + pdf + " (1 page).")});
            QVERIFY(!labels.window.isVisible());
            QCOMPARE(labels.asked.size(), 2);
            QCOMPARE(labels.asked[0].kind, Dialogs::FileRequest::Kind::Save);
            QCOMPARE(labels.asked[0].fileName, QString("BAKERS AND TOOLMAKERS.pdf"));
        }
        // Places 1 to 4 stay empty; the bakery takes the fifth, Zenith the sixth.
        const auto words = pdfWords(pdf, 1);
        fifth = wordsSpelling(words, "ACORN BAKERY");
        QVERIFY(within(fifth, laserPlace(5)));
        QVERIFY(within(wordsSpelling(words, "ZENITH TOOL"), laserPlace(6)));
        QVERIFY(std::all_of(words.begin(), words.end(),
                            [](const PdfWord& word) { return word.yMin >= laserPlace(4).top(); }));
        QVERIFY(!std::filesystem::exists(fixture.pdf()));

        // Half an inch right and a quarter up, from the first place again; the
        // chooser opens in the folder of the last PDF file.
        const QPointF shift(36, -18);
        {
            LabelPrintWindow labels(fixture, "LASERLABEL");
            QCOMPARE(labels.number("FIRSTLABEL")->value(), 1);
            labels.shift(16, -8);
            labels.printTo(pdf);
            QCOMPARE(labels.asked[0].directory,
                     QString::fromStdString(fixture.temporaryFolder()).chopped(1));
        }
        const auto moved = wordsSpelling(pdfWords(pdf, 1), "ACORN BAKERY");
        QVERIFY(within(moved, laserPlace(1, shift)));
        QVERIFY(qAbs(moved[0].xMin - (fifth[0].xMin - 198 + 36)) < 0.5);
        QVERIFY(qAbs(moved[0].yMin - (fifth[0].yMin - 72 - 18)) < 0.5);

        // The shift stays with the printer; dot-matrix labels start at their
        // first; the test sheet shows every place with the shift and no company.
        LabelPrintWindow test(fixture, "DOTLABEL");
        QCOMPARE(test.shown(), QPoint(16, -8));
        QVERIFY(!test.number("FIRSTLABEL")->isEnabled() && test.number("OFFSETDOWN")->isEnabled());
        test.choose("FULL");
        QVERIFY(!test.child<QWidget>("LabelSheet")->isEnabled());
        test.choose("LASERLABEL");
        test.startAt(7);
        test.testSheet();
        test.printTo(pdf);
        QCOMPARE(pdfPages(pdf), 1);
        const auto sheet = pdfWords(pdf, 1);
        for (int place = 1; place <= 30; ++place)
            QVERIFY2(within(wordsSpelling(sheet, "TEST LABEL " + std::to_string(place)),
                            laserPlace(place, shift)),
                     qPrintable(QString::number(place)));
        QVERIFY(wordsSpelling(sheet, "ACORN BAKERY").empty());
        QVERIFY(test.status().isEmpty());
    }

    // The lookup editor of an agent's day: coded values come from drop-downs
    // and are stored as their codes, a criterion is changed in its row, a field
    // without values greys its boxes, and a title too long for its tab is refused.
    void codedValuesArePickedFromADropDownAndStoredAsTheirCodes()
    {
        OpenEditor open("PM");
        LookupEditor& editor = open.editor;
        const ValueDropDown from{editor.from()};
        const ValueDropDown thru{editor.thru()};
        editor.choose(Field::ZipCode);
        QVERIFY(!from.offered());

        // The bands come from the state's table, a code for From and one for Thru.
        editor.choose(Field::Employees);
        QVERIFY(from.offered() && thru.offered());
        QVERIFY(editor.pickList()->isHidden());
        from.open();
        QCOMPARE(from.shown().mid(0, 3), QStringList({"0 (Unknown)", "1 (1 - 4)", "2 (5 - 9)"}));
        QCOMPARE(from.shown().size(), 10);
        from.pick("2 (5 - 9)");
        thru.open();
        thru.pick("4 (20 - 49)");
        QCOMPARE(open.range(), QString("2-4"));
        editor.accept();

        // A merit class typed in another case is stored as the class; the
        // list offers the table's classes as they are spelt.
        editor.choose(Field::MeritClass);
        from.open();
        QCOMPARE(from.shown(), QStringList({"Neutral", "Credit", "Debit", "N/Q"}));
        QTest::keyClick(from.list(), Qt::Key_Escape);
        LookupEditor::type(editor.from(), "debit");
        editor.accept();

        // Typing lists the values beginning with the text, whatever its case;
        // the keyboard opens the list as on a combo box.
        editor.choose(Field::LastUpdate);
        QTest::keyClick(editor.from(), Qt::Key_F4);
        QCOMPARE(from.shown().size(), 3);
        QTest::keyClick(from.list(), Qt::Key_Escape);
        LookupEditor::type(editor.from(), "NEW");
        QCOMPARE(from.shown(), QStringList({"New Company", "New Mod"}));
        from.pick("New Mod");
        QCOMPARE(editor.from()->text(), QString("New Mod"));
        editor.excludeOption()->click();
        editor.accept();

        editor.choose(Field::NewRecords);
        QVERIFY(!editor.from()->isEnabled() && !editor.thru()->isEnabled());
        editor.accept();
        editor.choose(Field::ExperienceMod);
        QVERIFY(editor.from()->isEnabled() && editor.thru()->isEnabled());

        // A double-click puts a criterion back in the boxes; accepted again it
        // keeps its row, and a once-only field is not refused for itself.
        doubleClickCriterion(editor, 0);
        QCOMPARE(editor.fields()->currentRow(), int(Field::Employees));
        QCOMPARE(open.range(), QString("2-4"));
        thru.open();
        thru.pick("5 (50 - 99)");
        editor.accept();
        doubleClickCriterion(editor, 2);
        QVERIFY(editor.excludeOption()->isChecked());
        editor.accept();
        QCOMPARE(
            editor.criteria(),
            QStringList({"# of Employees|2 Thru 5|Include", "Merit Class|Debit Thru Debit|Include",
                         "Changed in Last Update|New Mod Thru New Mod|Exclude",
                         "New Records| Thru |Include"}));
        QVERIFY(open.app.messageTexts().isEmpty());

        // Sixty characters fit a tab and a printed header; one more is refused
        // and stays typed.
        const QString sixty =
            QString("Debit mods among the bands of five to ninety-nine").leftJustified(60, '.');
        LookupEditor::type(editor.title(), sixty + "!");
        editor.ok();
        QCOMPARE(open.app.messageTexts(),
                 QStringList({"The title is 61 characters long. A lookup title can have at most "
                              "60 characters, so that it fits its tab and the printed header."}));
        QCOMPARE(open.app.messages().last().title, QString("Enter Selection Parameters"));
        QVERIFY(open.window->isVisible());
        QCOMPARE(editor.title()->text(), sixty + "!");
        QVERIFY(open.app.list().lookupTabs().folder().lookupFiles().empty());
        LookupEditor::type(editor.title(), sixty);
        editor.ok();
        const std::string title = '"' + sixty.toStdString() + '"';
        QCOMPARE(
            open.app.bytes("SEARCH1.KRD"),
            title + ",\"# of Employees\",\"2\",\"5\",\"EMPLOYEES\",#FALSE#\r\n" + title +
                ",\"Merit Class\",\"Debit\",\"Debit\",\"MERIT\",#FALSE#\r\n" + title +
                ",\"Changed in Last Update\",\"New Mod\",\"New Mod\",\"LASTUPDATE\",#TRUE#\r\n" +
                title + ",\"New Records\",\"\",\"\",\"NEWREC\",#FALSE#\r\n");
    }

    void editSearchOnALookupTabOpensThatLookup()
    {
        Lookups open;
        bool listShown = false;
        QString title;
        open.app.onModal<KRLOOKUP>([&title](KRLOOKUP* window) {
            const LookupEditor editor{window};
            title = editor.title()->text();
            LookupEditor::type(editor.title(), "Bakers and Roofers");
            editor.add(FieldCatalogue::SicCode, "1761");
            editor.ok();
            if (window->isVisible())
                window->reject();
        });
        open.app.tabs()->setCurrentIndex(3);
        open.editSearch([&listShown](const LookupList&) { listShown = true; });
        QVERIFY(!listShown);
        QCOMPARE(title, QString("Bakers"));
        QCOMPARE(open.app.bytes("SEARCH3.KRD"),
                 std::string("\"Bakers and Roofers\",\"SIC Code\",\"2051\",\"2051\",\"SIC\","
                             "#FALSE#\r\n\"Bakers and Roofers\",\"SIC Code\",\"1761\",\"1761\","
                             "\"SIC\",#FALSE#\r\n"));
        QCOMPARE(open.app.tabs()->currentIndex(), 3);
        QCOMPARE(open.app.page().column(), QStringList({"Allen Roofing", "Harbor Bakery"}));
        // The tab titled with blanks is a lookup to edit too; the all-companies
        // tab lists the lookups.
        open.app.tabs()->setCurrentIndex(2);
        QVERIFY(open.app.master().isCommandEnabled("mnuEditSearch"));
        open.app.tabs()->setCurrentIndex(0);
        open.editSearch([&listShown](const LookupList&) { listShown = true; });
        QVERIFY(listShown);
    }

    // Under a dark palette the charts and boxes take its colours; an overridden
    // address stays black on its light yellow.
    void aDarkPaletteIsFollowedAndAnOverriddenAddressStaysReadable()
    {
        const QPalette light = QApplication::palette();
        const auto restore = qScopeGuard([&light] { QApplication::setPalette(light); });
        QPalette dark = light;
        dark.setColor(QPalette::Window, QColor(53, 53, 53));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Base, QColor(35, 35, 35));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        QApplication::setPalette(dark);

        Open open;
        ResultList& list = open.page;
        const auto address = [&list] { return list.child<QPlainTextEdit>("ADDRESS")->palette(); };
        list.search("acme");
        open.data.db().execute("UPDATE PRIME SET User1 = '!&' WHERE NAME1 = 'acme widgets'");
        list.list->refreshCompany();
        QCOMPARE(address().color(QPalette::Base), QColor(255, 255, 128));
        QCOMPARE(address().color(QPalette::Text), QColor(Qt::black));
        list.search("Zen");
        QCOMPARE(address().color(QPalette::Base), dark.color(QPalette::Base));
        QCOMPARE(address().color(QPalette::Text), dark.color(QPalette::Text));

        const ModChart chart;
        QCOMPARE(chart.chart()->backgroundBrush().color(), dark.color(QPalette::Base));
        QCOMPARE(chart.chart()->axes().first()->labelsBrush().color(), dark.color(QPalette::Text));
    }

    // Follow-ups: set and finished in the record window, set from the list,
    // shown in the Due column, reminded of after the state and listed when due.
    void aFollowUpIsSetInTheRecordAndDoneLeavesADatedLineInTheNotes()
    {
        const FixedToday today("2026-12-07");
        Record record;
        record.data.db().execute("UPDATE PRIME SET EXPIRE = '2025-03-01' WHERE FILESEQ = "
                                 "'100000101'");
        QVERIFY(record.open());
        FollowUpPage followUp{record.window.get()};
        QCOMPARE(followUp.dueText(), QString());
        followUp.click("FOLLOWTWOWEEKS");
        QCOMPARE(followUp.due(), QDate(2026, 12, 21));
        followUp.click("FOLLOWWEEK");
        QCOMPARE(followUp.due(), QDate(2026, 12, 14));
        followUp.type("Call about renewal");
        record.page.close();
        QCOMPARE(storedFollowUp(record.data.db(), "1000001"),
                 QString("2026-12-14|Call about renewal"));
        QVERIFY(record.noteFree());

        // Done: a dated line in the notes, and the next follow-up 30 days before the
        // renewal of March 1.
        QVERIFY(record.open());
        followUp.window = record.window.get();
        QCOMPARE(followUp.due(), QDate(2026, 12, 14));
        QCOMPARE(followUp.child<QLineEdit>("FOLLOWTEXT")->text(), QString("Call about renewal"));
        followUp.click("FOLLOWDONE");
        QCOMPARE(followUp.dueText(), QString());
        QCOMPARE(record.page.notes()->toPlainText(),
                 QString("Called in March\n12/07/26 - Done: Call about renewal"));
        followUp.click("FOLLOWRENEWAL");
        QCOMPARE(followUp.due(), QDate(2027, 1, 30));
        followUp.type("Send the letter");
        record.page.close();
        QCOMPARE(storedFollowUp(record.data.db(), "1000001"),
                 QString("2027-01-30|Send the letter"));
        QCOMPARE(record.data.note("1000001", "01"),
                 Value("Called in March\n12/07/26 - Done: Call about renewal"));

        // Cleared: no follow-up is kept.
        QVERIFY(record.open());
        FollowUpPage{record.window.get()}.click("FOLLOWCLEAR");
        record.page.close();
        QCOMPARE(storedFollowUp(record.data.db(), "1000001"), QString("(none)"));
    }

    void theListSetsAFollowUpAndShowsItsDay()
    {
        const FixedToday today("2026-12-07");
        Open open;
        ResultList& list = open.page;
        list.search("SMITH");
        auto* button = list.child<QPushButton>("cmdFollowUp");
        QVERIFY(button->isEnabled());
        open.data.onModal<FollowUpDialog>([](FollowUpDialog* window) {
            const FollowUpPage followUp{window};
            followUp.click("FOLLOWTWOWEEKS");
            followUp.type("Call about renewal");
            window->accept();
        });
        QCOMPARE(button->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
        button->click();
        QCOMPARE(storedFollowUp(open.data.db(), "1000001"),
                 QString("2026-12-21|Call about renewal"));
        QVERIFY(NoteLock(open.data.db()).tryLock("1000001", "01"));
        // The Due column, one of the grid's optional columns.
        const QAbstractItemModel* model = list.grid()->model();
        int dueColumn = -1;
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->headerData(column, Qt::Horizontal).toString() == "Due")
                dueColumn = column;
        QVERIFY(dueColumn > 0);
        QCOMPARE(list.current(dueColumn), QString("12/21/26"));
        list.search("acme");
        QCOMPARE(list.current(dueColumn), QString());
    }

    void followUpsDueAreRemindedOfAfterTheStateAndOpenTheirRecords()
    {
        const FixedToday today("2026-12-07");
        StartedFixture started;
        auto* reminder = named<QLabel>(&started.master(), "lblFollowUps");
        QVERIFY(reminder->isHidden());
        FollowUps followUps(started.list().database());
        followUps.store("1000003", "01", FollowUp{"2026-12-07", "Call about renewal"});
        followUps.store("1000005", "01", FollowUp{"2026-11-30", "Send the letter"});
        followUps.store("1000001", "01", FollowUp{"2026-12-08", "Tomorrow"});
        started.master().SubChangeState();
        QVERIFY(!reminder->isHidden());
        QCOMPARE(reminder->text(), QString("2 follow-ups due \u2014 <a href=\"show\">Show</a>"));

        // Oldest first; Enter opens the record, where the follow-up is done.
        QStringList shown;
        QStringList afterDone;
        started.onModal<FollowUpsDue>([&](FollowUpsDue* window) {
            auto* grid = named<QTableWidget>(window, "grdFollowUps");
            shown = gridRows(grid, {0, 3, 4});
            QTest::keyClick(grid, Qt::Key_Return);
            afterDone = gridRows(grid, {0, 3, 4});
            window->reject();
        });
        started.onModal<KRLISTI>([](KRLISTI* window) {
            FollowUpPage{window}.click("FOLLOWDONE");
            named<QPushButton>(window, "Command1")->click();
        });
        emit reminder->linkActivated(QStringLiteral("show"));
        QCOMPARE(shown, QStringList({"11/30/26|Easton Steel|Send the letter",
                                     "12/07/26|Carter Homes|Call about renewal"}));
        QCOMPARE(afterDone, QStringList({"12/07/26|Carter Homes|Call about renewal"}));
        QCOMPARE(reminder->text(), QString("1 follow-up due \u2014 <a href=\"show\">Show</a>"));
        QCOMPARE(storedFollowUp(started.list().database(), "1000005"), QString("(none)"));
    }
};

QTEST_MAIN(WindowsTest)
#include "WindowsTest.moc"
