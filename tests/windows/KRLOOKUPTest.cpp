#include "windows/KRLOOKUP.h"
#include "LookupEditor.h"
#include "LookupWindowFixture.h"
#include "lookup/FieldCatalogue.h"
#include "windows/KRLIST.h"

#include <QAction>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QtTest>

#include <memory>

using namespace kora;
using namespace kora::test;
using Field = FieldCatalogue::Position;

class KRLOOKUPTest : public QObject
{
    Q_OBJECT

private:
    // The editor opened as New Search opens it, without a modal loop.
    struct Open
    {
        LookupWindowFixture app;
        std::unique_ptr<KRLOOKUP> window;
        LookupEditor editor{nullptr};

        explicit Open(const std::string& state = "PA", const std::string& currentFile = "")
            : app(state)
        {
            app.list().SetCurSQLFile(true);
            app.list().lookupTabs().setCurrentFile(currentFile);
            window = app.makeEditor();
            editor.window = window.get();
            window->show();
            if (!QTest::qWaitForWindowActive(window.get()))
                qFatal("the lookup editor did not become active");
        }
        QStringList messages() { return app.fixture().messageTexts(); }
    };

    static const Dialogs::Request& lastMessage(LookupWindowFixture& app)
    {
        return app.fixture().messages().last();
    }

    static void buildBucksBuilders(const LookupEditor& editor)
    {
        QCOMPARE(editor.title()->text(), QString("UNTITLED"));
        QCOMPARE(editor.title()->selectedText(), QString("UNTITLED"));
        QCOMPARE(editor.window->focusWidget(), editor.title());
        QVERIFY(editor.pickList()->isHidden());
        LookupEditor::type(editor.title(), "Bucks Builders");

        // A county found by its name and picked with Enter; Thru left empty.
        editor.choose(Field::County);
        QVERIFY(editor.pickList()->isVisible());
        QCOMPARE(editor.pickHeader(1), QString("County"));
        QCOMPARE(editor.pickColumn(1).mid(0, 3), QStringList({"Adams", "Allegheny", "Bucks"}));
        editor.searchFor()->setFocus();
        QTest::keyClicks(editor.searchFor(), "bu");
        QCOMPARE(editor.pickRow(), 2);
        QTest::keyClick(editor.searchFor(), Qt::Key_Return);
        QCOMPARE(editor.from()->text(), QString("09"));
        editor.press("ADD");

        // A mod range typed over the selected default and accepted with Enter.
        editor.choose(Field::ExperienceMod);
        QCOMPARE(editor.from()->selectedText(), QString("0.000"));
        QCOMPARE(editor.thru()->text(), QString("9.999"));
        QTest::keyClicks(editor.from(), "1.000");
        QTest::keyClick(editor.from(), Qt::Key_Return);

        // A whole SIC group picked by a click and excluded.
        editor.choose(Field::SicCode);
        QTest::keyClicks(editor.searchFor(), "Food");
        QCOMPARE(editor.pickList()->currentIndex().data().toString(),
                 QString("Food and Kindred Products"));
        editor.pick("2000");
        QCOMPARE(editor.from()->text(), QString("2000"));
        QCOMPARE(editor.thru()->text(), QString("2099"));
        editor.child<QRadioButton>("SQLEXCLUDE")->click();
        editor.press("ADD");
        QVERIFY(editor.child<QRadioButton>("SQLINCLUDE")->isChecked());

        QCOMPARE(editor.criteria(), QStringList({"County|09 Thru 09|Include",
                                                 "Experience Mod.|1.000 Thru 9.999|Include",
                                                 "SIC Code|2000 Thru 2099|Exclude"}));
        editor.press("OK");
    }

private slots:
    void impossibleRangesAreRefusedAndStayTyped_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("thru");
        QTest::addColumn<QString>("message");
        QTest::newRow("mod above") << int(Field::ExperienceMod) << "2.000"
                                   << "1.000"
                                   << "From must not be greater than Thru!";
        QTest::newRow("empty zip") << int(Field::ZipCode) << ""
                                   << ""
                                   << "Enter a From value, and a Thru value for a range!";
        QTest::newRow("month 13") << int(Field::ExpirationDate) << "1301"
                                  << "1231"
                                  << "Month must be from 01 to 12!";
        QTest::newRow("31 April") << int(Field::ExpirationDate) << "0101"
                                  << "0431"
                                  << "Day must be within the month!";
        QTest::newRow("names") << int(Field::EmployerName) << "Zeta"
                               << "alpha"
                               << "From must not be greater than Thru!";
    }
    void impossibleRangesAreRefusedAndStayTyped()
    {
        QFETCH(int, field);
        QFETCH(QString, from);
        QFETCH(QString, thru);
        QFETCH(QString, message);
        Open open;
        open.editor.choose(field);
        LookupEditor::type(open.editor.from(), from);
        LookupEditor::type(open.editor.thru(), thru);
        open.editor.press("ADD");
        QCOMPARE(open.messages(), QStringList({message}));
        QCOMPARE(lastMessage(open.app).title, QString("Enter Selection Parameters"));
        QCOMPARE(lastMessage(open.app).icon, QMessageBox::Warning);
        QCOMPARE(open.editor.from()->text(), from);
        QCOMPARE(open.editor.thru()->text(), thru);
        QCOMPARE(open.editor.criteriaGrid()->model()->rowCount(), 0);
    }

    void newSearchBuildsALookupAndTheListShowsIt()
    {
        LookupWindowFixture app;
        QVERIFY(app.master().isCommandEnabled("SSRibbon1_0"));
        QVERIFY(app.master().isCommandEnabled("mnuNewSearch"));
        app.fixture().onModal<KRLOOKUP>([](KRLOOKUP* window) {
            buildBucksBuilders(LookupEditor{window});
            if (window->isVisible())
                window->reject();
        });
        app.master().findChild<QAction*>("SSRibbon1_0")->trigger();
        if (QTest::currentTestFailed())
            return;

        QCOMPARE(app.bytes("SEARCH1.KRD"),
                 std::string("\"Bucks Builders\",\"County\",\"09\",\"09\",\"COUNTY\",#FALSE#\r\n"
                             "\"Bucks Builders\",\"Experience Mod.\",\"1.000\",\"9.999\","
                             "\"MOD\",#FALSE#\r\n"
                             "\"Bucks Builders\",\"SIC Code\",\"2000\",\"2099\",\"SIC\",#TRUE#"
                             "\r\n"));
        QVERIFY(app.fixture().messages().isEmpty());
        // A new lookup brings the list back on the all-companies tab.
        QCOMPARE(app.tabs()->currentIndex(), 0);
        QCOMPARE(app.tabs()->tabText(1), QString("Bucks Builders"));
        app.tabs()->setCurrentIndex(1);
        QCOMPARE(app.names(), QStringList({"Allen Roofing", "Greene Construction"}));
    }

    void countsTheLookupAsItIsTyped()
    {
        LookupWindowFixture app;
        auto companies = [&app](const std::string& condition) {
            Statement count =
                app.list().database().prepare("SELECT COUNT(*) FROM PRIME" + condition);
            count.step();
            return QString::number(count.column(0).toInteger()) + " companies match";
        };
        const QString all = companies("");
        const QString bucks = companies(" WHERE COUNTY = '09'");
        QVERIFY(all != bucks);
        app.fixture().onModal<KRLOOKUP>([&](KRLOOKUP* window) {
            auto* count = window->findChild<QLabel*>("lblCount");
            QTRY_COMPARE(count->text(), all);
            // The range being typed counts before it is accepted.
            window->findChild<QListWidget*>("List1")->setCurrentRow(FieldCatalogue::County);
            window->findChild<QLineEdit*>("FROM")->setText("09");
            QTRY_COMPARE(count->text(), bucks);
            QTest::mouseClick(window->findChild<QPushButton*>("ADD"), Qt::LeftButton);
            QCOMPARE(window->criteria().size(), 1u);
            QTRY_COMPARE(count->text(), bucks);
            window->reject();
        });
        app.master().findChild<QAction*>("SSRibbon1_0")->trigger();
    }

    void acceptRefusesBadValuesAndAddsNothing()
    {
        struct Case
        {
            int position;
            const char* from;
            const char* thru;
            const char* message;
        };
        const Case cases[] = {
            {-1, "1", "2", "No field selected!"},
            {Field::ExpirationDate, "101", "1231", "Date must be in the form MMDD!"},
            {Field::ExpirationDate, "0101", "12A1", "Date must be in the form MMDD!"},
            // Thru is checked as typed: a value alone is no date, mod or band.
            {Field::ExpirationDate, "0301", "", "Date must be in the form MMDD!"},
            {Field::ExperienceMod, "1.100", " ", "Invalid mod!"},
            {Field::Sales, "4", "", "Invalid sales category!"},
            {Field::ExperienceMod, "1.2.3", "9.999", "Invalid mod!"},
            {Field::ExperienceMod, "0.900", "high", "Invalid mod!"},
            {Field::Employees, "10", "9", "Invalid employee category!"},
            {Field::Employees, "1", "X", "Invalid employee category!"},
            {Field::Sales, "A", "9", "Invalid sales category!"},
        };
        Open open;
        for (const Case& c : cases) {
            open.editor.fields()->setCurrentRow(c.position);
            open.editor.from()->setText(c.from);
            open.editor.thru()->setText(c.thru);
            open.editor.press("ADD");
            const Dialogs::Request& message = lastMessage(open.app);
            QCOMPARE(message.text, QString(c.message));
            QCOMPARE(message.title, QString("Enter Selection Parameters"));
            QCOMPARE(message.icon, QMessageBox::Warning);
            QVERIFY2(open.window->criteria().empty(), c.message);
            // The typed values stay for correction.
            QCOMPARE(open.editor.from()->text(), QString(c.from));
        }

        // Once-only fields are refused a second time; zip ranges may repeat.
        open.editor.choose(Field::ExperienceMod);
        open.editor.press("ADD");
        LookupEditor::type(open.editor.from(), "1.000");
        LookupEditor::type(open.editor.thru(), "2.000");
        open.editor.press("ADD");
        QCOMPARE(lastMessage(open.app).text,
                 QString("This field cannot be used more than once in a search."));
        const auto told = open.app.fixture().messages().size();
        open.editor.choose(Field::ZipCode);
        LookupEditor::type(open.editor.from(), "18901");
        LookupEditor::type(open.editor.thru(), "18999");
        open.editor.press("ADD");
        LookupEditor::type(open.editor.from(), "19000");
        LookupEditor::type(open.editor.thru(), "19399");
        open.editor.press("ADD");
        QCOMPARE(open.editor.criteria(), QStringList({"Experience Mod.|0.000 Thru 9.999|Include",
                                                      "Zip Code|18901 Thru 18999|Include",
                                                      "Zip Code|19000 Thru 19399|Include"}));
        QCOMPARE(open.app.fixture().messages().size(), told);
        // One picked band is refused; a second pick gives its Thru.
        open.editor.choose(Field::Employees);
        open.editor.pick("3");
        open.editor.press("ADD");
        QCOMPARE(open.app.fixture().messageTexts().mid(told),
                 QStringList({"Invalid employee category!"}));
        QCOMPARE(open.editor.from()->text(), QString("3"));
        open.editor.pick("3");
        open.editor.press("ADD");
        QCOMPARE(open.editor.criteria().last(), QString("# of Employees|3 Thru 3|Include"));
    }

    void stateOnlyFieldsAreRefusedWhenChosen()
    {
        Open open;
        open.editor.choose(Field::ZipCode);
        LookupEditor::type(open.editor.from(), "190");
        open.editor.choose(Field::MeritClass);
        QCOMPARE(open.messages(),
                 QStringList({"This field can only be used with PM & DM Databases."}));
        QCOMPARE(lastMessage(open.app).title, QString("Enter Selection Parameters"));
        QCOMPARE(lastMessage(open.app).icon, QMessageBox::Warning);
        // Nothing else changes: the zip code stays chosen with its boxes.
        QCOMPARE(open.editor.fields()->currentRow(), int(Field::ZipCode));
        QCOMPARE(open.editor.fields()->selectedItems().value(0)->text(), QString("Zip Code"));
        QCOMPARE(open.editor.from()->text(), QString("00190"));
        QVERIFY(open.editor.thru()->isVisible());
        open.editor.fields()->setCurrentRow(Field::NjArOnly);
        QCOMPARE(open.messages().last(), QString("This field can only be used with New Jersey."));
        QCOMPARE(open.editor.fields()->currentRow(), int(Field::ZipCode));
        open.editor.press("ADD");
        QCOMPARE(open.editor.criteria(), QStringList({"Zip Code|00190 Thru 00190|Include"}));

        // The arrow keys pass over them without a message.
        open.editor.fields()->setFocus();
        open.editor.fields()->setCurrentRow(Field::Sales);
        QTest::keyClick(open.editor.fields(), Qt::Key_Down);
        QCOMPARE(open.editor.fields()->currentRow(), int(Field::AreaCode));
        QTest::keyClick(open.editor.fields(), Qt::Key_Down);
        QTest::keyClick(open.editor.fields(), Qt::Key_Down);
        QCOMPARE(open.editor.fields()->currentRow(), int(Field::FileNumber));
        QTest::keyClick(open.editor.fields(), Qt::Key_Up);
        QCOMPARE(open.editor.fields()->currentRow(), int(Field::NewRecords));
        QCOMPARE(open.messages().size(), 2);
        QCOMPARE(open.window->focusWidget(), open.editor.fields());
    }

    void fieldsStartWithTheirDefaults()
    {
        // One main window at a time: each answers the workspace window of its own start.
        {
            Open open;
            // The eighteen fields, then the four prospecting ones.
            QCOMPARE(open.editor.fields()->count(), 22);
            QCOMPARE(open.editor.fields()->item(0)->text(), QString("Expiration Date"));
            QCOMPARE(open.editor.fields()->item(17)->text(), QString("Issue Year"));
            QCOMPARE(open.editor.fields()->item(18)->text(), QString("Renews Within (days)"));
            open.editor.choose(Field::ExpirationDate);
            QCOMPARE(open.editor.from()->text(), QString("0101"));
            QCOMPARE(open.editor.thru()->text(), QString("1231"));
            QCOMPARE(open.window->focusWidget(), open.editor.from());
            open.editor.choose(Field::IssueYear);
            const QString year = QString::number(QDate::currentDate().year());
            QCOMPARE(open.editor.from()->text(), year);
            QCOMPARE(open.editor.thru()->text(), year);
            QCOMPARE(open.editor.from()->selectedText(), year);
            open.editor.choose(Field::FileNumber);
            QCOMPARE(open.editor.from()->text(), QString());
            QCOMPARE(open.editor.thru()->text(), QString());
            QVERIFY(open.editor.searchFor()->isHidden());
        }
        {
            Open newJersey("NJ");
            newJersey.editor.choose(Field::NjArOnly);
            QCOMPARE(newJersey.editor.from()->text(), QString("0795"));
            QCOMPARE(newJersey.editor.thru()->text(),
                     QDate::currentDate().addMonths(3).toString("MMyy"));
            LookupEditor::type(newJersey.editor.from(), "795");
            newJersey.editor.press("ADD");
            QCOMPARE(newJersey.messages(), QStringList({"Date must be in the form MMYY!"}));
            LookupEditor::type(newJersey.editor.from(), "0124");
            newJersey.editor.press("ADD");
            QCOMPARE(newJersey.window->criteria().size(), size_t(1));
            QCOMPARE(newJersey.window->criteria()[0].SQLEXPR, std::string("NJARONLY"));
        }
        Open newYork("NY");
        QCOMPARE(newYork.editor.fields()->item(0)->text(), QString("Anniversary"));
        newYork.editor.choose(Field::ExpirationDate);
        newYork.editor.press("ADD");
        QCOMPARE(newYork.editor.criteria(), QStringList({"Anniversary|0101 Thru 1231|Include"}));
    }

    void zipFromIsPaddedWhenLeft()
    {
        Open open;
        open.editor.choose(Field::ZipCode);
        // Leaving an untouched From keeps it empty.
        QTest::keyClick(open.editor.from(), Qt::Key_Tab);
        QCOMPARE(open.editor.from()->text(), QString());
        LookupEditor::type(open.editor.from(), "19");
        QTest::keyClick(open.editor.from(), Qt::Key_Tab);
        QCOMPARE(open.editor.from()->text(), QString("00019"));
        QCOMPARE(open.window->focusWidget(), open.editor.thru());
        open.editor.press("ADD");
        open.editor.press("OK");
        QVERIFY(!open.window->isVisible());
        QCOMPARE(open.app.bytes("UNTITLED.KRD"),
                 std::string("\"UNTITLED\",\"Zip Code\",\"00019\",\"00019\",\"ZIP\",#FALSE#\r\n"));
        QCOMPARE(open.app.tabs()->tabText(1), QString("UNTITLED"));
        open.app.tabs()->setCurrentIndex(1);
        QCOMPARE(open.app.names(), QStringList({"Harbor Bakery"}));
    }

    void pickListFillsFromThenThru()
    {
        Open open;
        open.editor.choose(Field::SicCode);
        QCOMPARE(open.editor.pickHeader(1), QString("Description"));
        QCOMPARE(open.editor.pickColumn(1).first(), QString("Bread and Bakery Products"));
        // A header click sorts by codes, and the search then goes by code.
        emit open.editor.pickList()->horizontalHeader()->sectionClicked(0);
        QCOMPARE(open.editor.pickColumn(0), QStringList({"1500", "1521", "1611", "1700", "1761",
                                                         "2000", "2011", "2051", "3312"}));
        QTest::keyClicks(open.editor.searchFor(), "17");
        QCOMPARE(open.editor.pickRow(), 3);
        // Nothing at or after 9: the list stays where it was.
        open.editor.searchFor()->clear();
        QTest::keyClicks(open.editor.searchFor(), "9");
        QCOMPARE(open.editor.pickRow(), 3);

        open.editor.pick("1500");
        QCOMPARE(open.editor.from()->text(), QString("1500"));
        QCOMPARE(open.editor.thru()->text(), QString("1599"));
        open.editor.pick("1521");
        QCOMPARE(open.editor.thru()->text(), QString("1521"));
        open.editor.pick("1700");
        QCOMPARE(open.editor.from()->text(), QString("1500"));
        QCOMPARE(open.editor.thru()->text(), QString("1799"));

        // Employee bands in code order, without a search box.
        open.editor.choose(Field::Employees);
        QVERIFY(open.editor.searchFor()->isHidden());
        QCOMPARE(open.editor.from()->text(), QString());
        QCOMPARE(open.editor.pickColumn(0).size(), 10);
        QCOMPARE(open.editor.pickColumn(1)[2], QString("5 - 9"));
        open.editor.pick("2");
        open.editor.pick("5");
        QCOMPARE(open.editor.from()->text() + '-' + open.editor.thru()->text(), QString("2-5"));
        open.editor.choose(Field::EmployerName);
        QVERIFY(open.editor.pickList()->isHidden());
    }

    void meritClassPicksItsWords()
    {
        Open open("PM");
        open.editor.choose(Field::MeritClass);
        QVERIFY(open.editor.thru()->isHidden());
        QVERIFY(!open.editor.thru()->isEnabled());
        QVERIFY(open.editor.searchFor()->isHidden());
        QCOMPARE(open.editor.pickColumn(1), QStringList({"Neutral", "Credit", "Debit", "N/Q"}));
        open.editor.pick("9.886");
        QCOMPARE(open.editor.from()->text(), QString("Debit"));
        QCOMPARE(open.editor.thru()->text(), QString("9.886"));
        open.editor.pick("9.885");
        QCOMPARE(open.editor.from()->text(), QString("Credit"));
        QCOMPARE(open.editor.thru()->text(), QString("9.885"));
        open.editor.press("ADD");
        QCOMPARE(open.editor.criteria(), QStringList({"Merit Class|Credit Thru 9.885|Include"}));
        // A typed word without a Thru is taken through itself.
        open.editor.choose(Field::MeritClass);
        LookupEditor::type(open.editor.from(), "Debit");
        open.editor.press("ADD");
        QCOMPARE(open.editor.criteria().last(), QString("Merit Class|Debit Thru Debit|Include"));
        QVERIFY(open.messages().isEmpty());
    }

    void fullStatePickListsRepositionOnEveryKey()
    {
        Open open;
        open.app.addFullStateCodes();
        open.editor.choose(Field::SicCode);
        QCOMPARE(open.editor.pickColumn(0).size(), 1000);
        emit open.editor.pickList()->horizontalHeader()->sectionClicked(0);
        const QStringList codes = open.editor.pickColumn(0);
        for (const QString typed : {"5", "51", "514", "5149"}) {
            QTest::keyClick(open.editor.searchFor(), typed.back().toLatin1());
            const int row = open.editor.pickRow();
            QVERIFY(codes[row] >= typed);
            QVERIFY(row == 0 || codes[row - 1] < typed);
            QVERIFY(open.editor.pickList()->viewport()->rect().intersects(
                open.editor.pickList()->visualRect(open.editor.pickList()->currentIndex())));
        }
        open.editor.choose(Field::ClassCode);
        QCOMPARE(open.editor.pickColumn(0).size(), 600);
        QTest::keyClicks(open.editor.searchFor(), "class 59");
        QCOMPARE(open.editor.pickList()->currentIndex().siblingAtColumn(1).data().toString(),
                 QString("Class 59"));
    }

    void okSavesWhatIsTypedAndRefusesAnEmptyLookup()
    {
        Open open;
        // Thru alone is no range.
        open.editor.choose(Field::ZipCode);
        LookupEditor::type(open.editor.thru(), "19000");
        open.editor.press("OK");
        QCOMPARE(open.messages(), QStringList({"No parameters selected for this search!"}));
        QVERIFY(open.window->isVisible());

        // A typed range that Accept refuses keeps the editor open with it.
        open.editor.choose(Field::ExpirationDate);
        LookupEditor::type(open.editor.from(), "13");
        open.editor.press("OK");
        QCOMPARE(open.messages().last(), QString("Date must be in the form MMDD!"));
        QVERIFY(open.window->isVisible());
        QCOMPARE(open.editor.from()->text(), QString("13"));

        LookupEditor::type(open.editor.from(), "0301");
        open.editor.title()->clear();
        open.editor.press("OK");
        QCOMPARE(open.messages().last(), QString("No title entered for this search!"));
        QCOMPARE(lastMessage(open.app).title, QString("Enter Selection Parameters"));
        QVERIFY(open.window->isVisible());

        // The typed mod range is accepted by OK itself.
        LookupEditor::type(open.editor.title(), "Spring Renewals");
        open.editor.choose(Field::ExperienceMod);
        LookupEditor::type(open.editor.from(), "1.100");
        open.editor.press("OK");
        QVERIFY(!open.window->isVisible());
        QCOMPARE(open.messages().size(), 3);
        QCOMPARE(open.app.bytes("SEARCH1.KRD"),
                 std::string("\"Spring Renewals\",\"Expiration Date\",\"0301\",\"1231\","
                             "\"EXPIRE\",#FALSE#\r\n"
                             "\"Spring Renewals\",\"Experience Mod.\",\"1.100\",\"9.999\","
                             "\"MOD\",#FALSE#\r\n"));
    }

    void keyboardAloneBuildsALookup()
    {
        Open open;
        LookupEditor& editor = open.editor;
        QTest::keyClick(editor.title(), Qt::Key_Tab);
        QCOMPARE(open.window->focusWidget(), editor.fields());
        editor.fields()->setCurrentRow(Field::EmployerName);
        QTest::keyClick(editor.fields(), Qt::Key_Down);
        QTest::keyClick(editor.fields(), Qt::Key_Return);
        QCOMPARE(open.window->focusWidget(), editor.from());
        QTest::keyClicks(editor.from(), "18901");
        QTest::keyClick(editor.from(), Qt::Key_Tab);
        QTest::keyClicks(editor.thru(), "18999");
        // Enter in a range box accepts the range, not the lookup.
        QTest::keyClick(editor.thru(), Qt::Key_Return);
        QVERIFY(open.window->isVisible());
        QTest::keyClick(open.window.get(), Qt::Key_X, Qt::AltModifier);
        QTest::keyClick(open.window.get(), Qt::Key_F, Qt::AltModifier);
        QTest::keyClicks(editor.from(), "19380");
        QTest::keyClick(editor.from(), Qt::Key_Return);
        QCOMPARE(editor.criteria(), QStringList({"Zip Code|18901 Thru 18999|Include",
                                                 "Zip Code|19380 Thru 19380|Exclude"}));
        QTest::keyClick(open.window.get(), Qt::Key_L, Qt::AltModifier);
        QTest::keyClicks(editor.title(), "Zips");
        // Enter elsewhere is OK.
        QTest::keyClick(editor.title(), Qt::Key_Return);
        QVERIFY(!open.window->isVisible());
        QCOMPARE(open.app.bytes("SEARCH1.KRD"),
                 std::string("\"Zips\",\"Zip Code\",\"18901\",\"18999\",\"ZIP\",#FALSE#\r\n"
                             "\"Zips\",\"Zip Code\",\"19380\",\"19380\",\"ZIP\",#TRUE#\r\n"));
        QVERIFY(open.messages().isEmpty());
    }

    void tabbingThroughTheFieldsChoosesNone()
    {
        {
            LookupWindowFixture app;
            app.writeLookup("SEARCH1.KRD", "Roofers",
                            {{"", "SIC Code", "1761", "1761", "SIC", false}});
            app.list().lookupTabs().setCurrentFile("SEARCH1.KRD");
            const std::unique_ptr<KRLOOKUP> editorWindow = app.makeEditor();
            KRLOOKUP& window = *editorWindow;
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            LookupEditor editor{&window};
            editor.title()->setFocus();
            QTest::keyClick(editor.title(), Qt::Key_Tab);
            QCOMPARE(window.focusWidget(), editor.fields());
            QCOMPARE(editor.fields()->currentRow(), -1);
            QCOMPARE(editor.from()->text(), QString());
            // Back to the title and OK: the lookup is saved as it was.
            QTest::keyClick(editor.fields(), Qt::Key_Backtab);
            QTest::keyClick(editor.title(), Qt::Key_Return);
            QVERIFY(!window.isVisible());
            QCOMPARE(app.bytes("SEARCH1.KRD"),
                     std::string("\"Roofers\",\"SIC Code\",\"1761\",\"1761\",\"SIC\","
                                 "#FALSE#\r\n"));
            QVERIFY(app.fixture().messages().isEmpty());
        }
        // The first arrow key chooses the first field.
        Open open;
        QTest::keyClick(open.editor.title(), Qt::Key_Tab);
        QTest::keyClick(open.editor.fields(), Qt::Key_Down);
        QCOMPARE(open.editor.fields()->currentRow(), int(Field::ExpirationDate));
        QCOMPARE(open.editor.from()->text(), QString("0101"));
    }

    void deleteRemovesTheHighlightedCriterion()
    {
        Open open;
        for (const char* zip : {"18901", "19007", "19380"}) {
            open.editor.choose(Field::ZipCode);
            LookupEditor::type(open.editor.from(), zip);
            open.editor.press("ADD");
        }
        QCOMPARE(open.editor.criteriaGrid()->currentIndex().row(), 2);
        open.editor.criteriaGrid()->setCurrentIndex(
            open.editor.criteriaGrid()->model()->index(1, 0));
        open.editor.press("DELETE");
        QCOMPARE(open.editor.criteria(), QStringList({"Zip Code|18901 Thru 18901|Include",
                                                      "Zip Code|19380 Thru 19380|Include"}));
        open.editor.criteriaGrid()->setFocus();
        QTest::keyClick(open.editor.criteriaGrid(), Qt::Key_Delete);
        QCOMPARE(open.editor.criteria(), QStringList({"Zip Code|18901 Thru 18901|Include"}));

        // Escape is Cancel: it leaves without a file.
        QTest::keyClick(open.editor.criteriaGrid(), Qt::Key_Escape);
        QVERIFY(!open.window->isVisible());
        QVERIFY(open.app.list().lookupTabs().folder().lookupFiles().empty());
    }

    void anEditedLookupIsShownAgainOnItsTab()
    {
        LookupWindowFixture app;
        app.writeLookup("SEARCH1.KRD", "Roofers", {{"", "SIC Code", "1761", "1761", "SIC", false}});
        app.list().SETTABS();
        app.tabs()->setCurrentIndex(1);
        QCOMPARE(app.names(), QStringList({"Allen Roofing"}));
        app.list().SetCurSQLFile(false);

        const std::unique_ptr<KRLOOKUP> editorWindow = app.makeEditor();
        KRLOOKUP& window = *editorWindow;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        LookupEditor editor{&window};
        QCOMPARE(editor.title()->text(), QString("Roofers"));
        LookupEditor::type(editor.title(), "Roofers and Pavers");
        editor.choose(Field::SicCode);
        LookupEditor::type(editor.from(), "1611");
        editor.press("OK");

        QVERIFY(!window.isVisible());
        QCOMPARE(app.bytes("SEARCH1.KRD"),
                 std::string("\"Roofers and Pavers\",\"SIC Code\",\"1761\",\"1761\",\"SIC\","
                             "#FALSE#\r\n\"Roofers and Pavers\",\"SIC Code\",\"1611\",\"1611\","
                             "\"SIC\",#FALSE#\r\n"));
        QCOMPARE(app.tabs()->currentIndex(), 1);
        QCOMPARE(app.tabs()->tabText(1), QString("Roofers and Pavers"));
        QCOMPARE(app.names(), QStringList({"Allen Roofing", "Baker Paving"}));
        QVERIFY(app.fixture().messages().isEmpty());
    }

    void namedLookupsStopAtEight()
    {
        Open open;
        for (int slot = 1; slot <= 8; ++slot)
            open.app.writeLookup("SEARCH" + std::to_string(slot) + ".KRD", "Old",
                                 {{"", "Zip Code", "1", "2", "ZIP", false}});
        open.editor.choose(Field::EmployerName);
        LookupEditor::type(open.editor.from(), "ACME");
        open.editor.press("ADD");
        LookupEditor::type(open.editor.title(), "Ninth");
        open.editor.press("OK");
        QCOMPARE(open.messages(),
                 QStringList({"Cannot write search information to disk!  Maximum searches is 8 "
                              "named searches and 1 untitled search."}));
        QCOMPARE(lastMessage(open.app).icon, QMessageBox::Warning);
        QVERIFY(open.window->isVisible());
        QVERIFY(!open.app.exists("UNTITLED.KRD"));

        LookupEditor::type(open.editor.title(), "UNTITLED");
        open.editor.press("OK");
        QCOMPARE(open.app.bytes("UNTITLED.KRD"),
                 std::string("\"UNTITLED\",\"Employer Name\",\"ACME\",\"ACME\",\"NAME1\","
                             "#FALSE#\r\n"));
    }
};

QTEST_MAIN(KRLOOKUPTest)
#include "KRLOOKUPTest.moc"
