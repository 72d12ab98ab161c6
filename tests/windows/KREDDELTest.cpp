#include "windows/KREDDEL.h"

#include "LookupEditor.h"
#include "LookupWindowFixture.h"
#include "lookup/FieldCatalogue.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <fstream>

using namespace kora;
using namespace kora::test;

namespace {

// Drives the Edit/Delete window as a user would.
struct EditDelete
{
    KREDDEL* window;

    QListWidget* list() const { return window->findChild<QListWidget*>("List1"); }
    QStringList entries() const
    {
        QStringList texts;
        for (int row = 0; row < list()->count(); ++row)
            texts << list()->item(row)->text();
        return texts;
    }
    void choose(int row) const { list()->setCurrentRow(row); }
    void edit() const { window->findChild<QPushButton*>("Command1")->click(); }
    void remove() const { window->findChild<QPushButton*>("Command2")->click(); }
    void cancel() const { window->findChild<QPushButton*>("Command3")->click(); }
};

// Three lookups, the second titled with blanks, and the main window on tab 0.
struct Open
{
    LookupWindowFixture app;
    std::function<void(const EditDelete&)> script;

    Open()
    {
        app.writeLookup("SEARCH1.KRD", "Roofers", {"", "SIC Code", "1761", "1761", "SIC", false});
        app.writeLookup("SEARCH2.KRD", "   ", {"", "County", "09", "09", "COUNTY", false});
        app.writeLookup("SEARCH3.KRD", "Bakers", {"", "SIC Code", "2051", "2051", "SIC", false});
        std::ofstream(app.workspaceFile("SEARCH2.XCL")) << "excluded";
        app.list().SETTABS();
        app.fixture().onModal<KREDDEL>([this](KREDDEL* window) {
            script(EditDelete{window});
            if (window->isVisible())
                window->reject();
        });
    }
    // Runs Edit Search with a script for the window it opens.
    void editSearch(std::function<void(const EditDelete&)> run)
    {
        script = std::move(run);
        app.master().findChild<QAction*>("mnuEditSearch")->trigger();
    }
};

} // namespace

class KREDDELTest : public QObject
{
    Q_OBJECT

private slots:
    void listsTitlesInTabOrderAndAsksForAChoice()
    {
        Open open;
        QStringList shown;
        QList<bool> visibleAfter;
        open.editSearch([&](const EditDelete& window) {
            shown = window.entries();
            window.edit();
            visibleAfter << window.window->isVisible();
            window.remove();
            visibleAfter << window.window->isVisible();
            window.cancel();
        });
        // The blank title keeps its entry, so every entry stays with its tab.
        QCOMPARE(shown, QStringList({"Roofers", "   ", "Bakers"}));
        QCOMPARE(open.app.messages(), QStringList({"No lookup selected!", "No lookup selected!"}));
        QCOMPARE(visibleAfter, QList<bool>({true, true}));
        QVERIFY(open.app.exists("SEARCH1.KRD") && open.app.exists("SEARCH3.KRD"));
    }

    void deleteAsksAndRemovesTheLookupWithItsMarks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("tabs");
        QTest::newRow("yes") << int(QMessageBox::Yes) << QStringList{"Roofers", "Bakers"};
        QTest::newRow("no") << int(QMessageBox::No) << QStringList{"Roofers", "   ", "Bakers"};
    }
    void deleteAsksAndRemovesTheLookupWithItsMarks()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, tabs);
        Open open;
        open.app.fixture().queueAnswer(QMessageBox::StandardButton(answer));
        bool closed = false;
        open.editSearch([&closed](const EditDelete& window) {
            window.choose(1);
            window.remove();
            closed = !window.window->isVisible();
        });
        QVERIFY(closed);
        const Dialogs::Request& question = open.app.fixture().messages().value(0);
        QCOMPARE(open.app.messages(), QStringList({"Delete this lookup?"}));
        QCOMPARE(question.title, QString("Edit/Delete Lookup"));
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.defaultButton, QMessageBox::No);
        QCOMPARE(question.icon, QMessageBox::Warning);
        const bool kept = answer == QMessageBox::No;
        QCOMPARE(open.app.exists("SEARCH2.KRD"), kept);
        QCOMPARE(open.app.exists("SEARCH2.XCL"), kept);
        QVERIFY(open.app.exists("SEARCH1.KRD") && open.app.exists("SEARCH3.KRD"));
        QCOMPARE(open.app.tabs()->currentIndex(), 0);
        QStringList captions;
        for (int tab = 1; tab < open.app.tabs()->count(); ++tab)
            captions << open.app.tabs()->tabText(tab);
        QCOMPARE(captions, tabs);
        // The list is filled again the next time.
        QStringList shown;
        open.editSearch([&shown](const EditDelete& window) { shown = window.entries(); });
        QCOMPARE(shown, tabs);
    }

    void editOpensTheChosenLookupPastABlankTitle()
    {
        Open open;
        QString title;
        QStringList criteria;
        // Each editor opened answers the script given last.
        std::function<void(const LookupEditor&)> script = [&](const LookupEditor& editor) {
            criteria = editor.criteria();
            LookupEditor::type(editor.title(), "Bakers and Roofers");
            editor.choose(FieldCatalogue::SicCode);
            LookupEditor::type(editor.from(), "1761");
            editor.ok();
        };
        open.app.fixture().onModal<KRLOOKUP>([&](KRLOOKUP* window) {
            title = LookupEditor{window}.title()->text();
            script(LookupEditor{window});
            if (window->isVisible())
                window->reject();
        });
        open.editSearch([](const EditDelete& window) {
            window.choose(2);
            window.edit();
        });
        QCOMPARE(title, QString("Bakers"));
        QCOMPARE(criteria, QStringList({"SIC Code|2051 Thru 2051|Include"}));
        // The lookup keeps its file and its tab, which is shown again with its new companies.
        QCOMPARE(open.app.bytes("SEARCH3.KRD"),
                 std::string("\"Bakers and Roofers\",\"SIC Code\",\"2051\",\"2051\",\"SIC\","
                             "#FALSE#\r\n\"Bakers and Roofers\",\"SIC Code\",\"1761\",\"1761\","
                             "\"SIC\",#FALSE#\r\n"));
        QCOMPARE(open.app.tabs()->currentIndex(), 3);
        QCOMPARE(open.app.tabs()->tabText(3), QString("Bakers and Roofers"));
        QCOMPARE(open.app.names(), QStringList({"Allen Roofing", "Harbor Bakery"}));
        QVERIFY(open.app.messages().isEmpty());

        // The keyboard alone chooses and opens a lookup.
        open.app.tabs()->setCurrentIndex(0);
        script = [](const LookupEditor&) {};
        open.editSearch([](const EditDelete& window) {
            QCOMPARE(window.window->focusWidget(), window.list());
            QTest::keyClick(window.list(), Qt::Key_Down);
            QTest::keyClick(window.list(), Qt::Key_Return);
        });
        QCOMPARE(title, QString("Roofers"));
    }

    void editSearchIsOfferedOnTheAllCompaniesTabOnly()
    {
        Open open;
        MASTER& master = open.app.master();
        for (const char* command : {"SSRibbon1_0", "SSRibbon1_1", "mnuNewSearch", "mnuEditSearch"})
            QVERIFY2(master.isCommandEnabled(command), command);
        open.app.tabs()->setCurrentIndex(1);
        QCOMPARE(open.app.names(), QStringList({"Allen Roofing"}));
        QVERIFY(!master.isCommandEnabled("SSRibbon1_1"));
        QVERIFY(!master.isCommandEnabled("mnuEditSearch"));
        QVERIFY(master.isCommandEnabled("SSRibbon1_0"));
    }
};

QTEST_MAIN(KREDDELTest)
#include "KREDDELTest.moc"
