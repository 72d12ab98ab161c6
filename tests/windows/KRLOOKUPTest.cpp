#include "windows/KRLOOKUP.h"

#include "LookupEditor.h"
#include "ResultsFixture.h"
#include "lookup/FieldCatalogue.h"

#include <QAction>
#include <QtTest>

#include <memory>

using namespace kora;
using namespace kora::test;
using Field = FieldCatalogue::Position;

namespace {

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

} // namespace

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
            QCOMPARE(open.app.messages().last().title, QString("Enter Selection Parameters"));
            QCOMPARE(open.app.messages().last().icon, QMessageBox::Warning);
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
        QCOMPARE(app.page().tabs()->currentIndex(), 0);
        QCOMPARE(app.page().tabs()->tabText(1), QString("Bucks Builders"));
        app.page().tabs()->setCurrentIndex(1);
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

    void fieldsOfOtherDatabasesAreRefusedWhenChosen()
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

    void newYorkNamesTheExpirationItsAnniversary()
    {
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
};

QTEST_MAIN(KRLOOKUPTest)
#include "KRLOOKUPTest.moc"
