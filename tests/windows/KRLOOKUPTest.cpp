#include "windows/KRLOOKUP.h"

#include "ResultsFixture.h"
#include "lookup/FieldCatalogue.h"
#include "lookup/LookupFile.h"
#include "shell/KRWSPACE.h"
#include "windows/KREDDEL.h"

#include <QComboBox>
#include <QListWidget>

#include <filesystem>
#include <fstream>
#include <memory>

using namespace kora;
using namespace kora::test;
using Field = FieldCatalogue::Position;

namespace {

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
struct Open
{
    StartedFixture app;
    std::unique_ptr<KRLOOKUP> window;
    LookupEditor editor{nullptr};

    explicit Open(const std::string& state = "PA")
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

// The lookup editor, from New Search and from the Edit/Delete window.
class KRLOOKUPTest : public QObject
{
    Q_OBJECT

private slots:
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
            Open open;
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
        Open open;
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
            Open open;
            open.editor.choose(Field::ZipCode);
            LookupEditor::type(open.editor.from(), "190");
            open.editor.choose(Field::MeritClass);
            QCOMPARE(open.app.messageTexts(),
                     QStringList({"This field can only be used with PM & DM Databases."}));
            open.editor.accept();
            QCOMPARE(open.editor.criteria(), QStringList({"Zip Code|00190 Thru 00190|Include"}));
        }
        Open newYork("NY");
        newYork.editor.add(Field::ExpirationDate, "0101");
        QCOMPARE(newYork.editor.criteria(), QStringList({"Anniversary|0101 Thru 1231|Include"}));
    }

    void pickListFillsFromThenThru()
    {
        Open open;
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
        Open open;
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
        Open open;
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
        Open open;
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

QTEST_MAIN(KRLOOKUPTest)
#include "KRLOOKUPTest.moc"
