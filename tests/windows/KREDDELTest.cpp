#include "windows/KREDDEL.h"

#include "LookupEditor.h"
#include "ResultsFixture.h"
#include "lookup/FieldCatalogue.h"

#include <QAction>
#include <QtTest>

#include <filesystem>
#include <fstream>

using namespace kora;
using namespace kora::test;

namespace {

// Drives the Edit/Delete window as a user would.
struct LookupList
{
    KREDDEL* window;

    QListWidget* list() const { return named<QListWidget>(window, "List1"); }
    void edit() const { named<QPushButton>(window, "Command1")->click(); }
    void remove() const { named<QPushButton>(window, "Command2")->click(); }
    QStringList entries() const
    {
        QStringList texts;
        for (int row = 0; row < list()->count(); ++row)
            texts << list()->item(row)->text();
        return texts;
    }
};

// Three lookups, the second titled with blanks; Edit Search runs a script on the window.
struct Open
{
    StartedFixture app;
    std::function<void(const LookupList&)> script;

    Open()
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
        for (int tab = 1; tab < app.page().tabs()->count(); ++tab)
            captions << app.page().tabs()->tabText(tab);
        return captions;
    }
};

} // namespace

class KREDDELTest : public QObject
{
    Q_OBJECT

private slots:
    void deleteAsksAndRemovesTheLookupWithItsMarks()
    {
        for (const QMessageBox::StandardButton answer : {QMessageBox::Yes, QMessageBox::No}) {
            Open open;
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
            QCOMPARE(question.title, QString("Edit/Delete Lookup"));
            QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(question.defaultButton, QMessageBox::No);
            QCOMPARE(question.icon, QMessageBox::Warning);
            const bool kept = answer == QMessageBox::No;
            QCOMPARE(std::filesystem::exists(open.app.workspaceFile("SEARCH2.KRD")), kept);
            QCOMPARE(std::filesystem::exists(open.app.workspaceFile("SEARCH2.XCL")), kept);
            QCOMPARE(open.app.page().tabs()->currentIndex(), 0);
            const QStringList tabs =
                kept ? QStringList{"Roofers", "   ", "Bakers"} : QStringList{"Roofers", "Bakers"};
            QCOMPARE(open.tabTexts(), tabs);
            open.editSearch([&shown](const LookupList& window) { shown = window.entries(); });
            QCOMPARE(shown, tabs);
        }
    }

    void editOpensTheChosenLookupAndItsTabShowsIt()
    {
        Open open;
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
        QCOMPARE(open.app.page().tabs()->currentIndex(), 3);
        QCOMPARE(open.app.page().tabs()->tabText(3), QString("Bakers and Roofers"));
        QCOMPARE(open.app.page().column(), QStringList({"Allen Roofing", "Harbor Bakery"}));
        QVERIFY(open.app.messages().isEmpty());
        open.app.page().openTab(0);
        script = [](const LookupEditor&) {};
        open.editSearch([](const LookupList& window) {
            QCOMPARE(window.window->focusWidget(), window.list());
            QTest::keyClick(window.list(), Qt::Key_Down);
            QTest::keyClick(window.list(), Qt::Key_Return);
        });
        QCOMPARE(titles, QStringList({"Bakers", "Roofers"}));
    }
};

QTEST_MAIN(KREDDELTest)
#include "KREDDELTest.moc"
