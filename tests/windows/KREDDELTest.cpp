#include "windows/KREDDEL.h"

#include "LookupEditor.h"
#include "LookupWindowFixture.h"
#include "lookup/FieldCatalogue.h"

#include <QAction>
#include <QtTest>

#include <fstream>

using namespace kora;
using namespace kora::test;

namespace {

// Three lookups, the second titled with blanks; Edit Search runs a script on the window.
struct Open
{
    LookupWindowFixture app;
    std::function<void(KREDDEL*, QListWidget*)> script;

    Open()
    {
        app.writeLookup("SEARCH1.KRD", "Roofers", {"", "SIC Code", "1761", "1761", "SIC", false});
        app.writeLookup("SEARCH2.KRD", "   ", {"", "County", "09", "09", "COUNTY", false});
        app.writeLookup("SEARCH3.KRD", "Bakers", {"", "SIC Code", "2051", "2051", "SIC", false});
        std::ofstream(app.workspaceFile("SEARCH2.XCL")) << "excluded";
        app.list().SETTABS();
        app.fixture().onModal<KREDDEL>([this](KREDDEL* window) {
            script(window, window->findChild<QListWidget*>("List1"));
            if (window->isVisible())
                window->reject();
        });
    }
    void editSearch(std::function<void(KREDDEL*, QListWidget*)> run)
    {
        script = std::move(run);
        app.master().findChild<QAction*>("mnuEditSearch")->trigger();
    }
    static void click(KREDDEL* window, const char* button)
    {
        window->findChild<QPushButton*>(button)->click();
    }
    QStringList tabTexts()
    {
        QStringList captions;
        for (int tab = 1; tab < app.tabs()->count(); ++tab)
            captions << app.tabs()->tabText(tab);
        return captions;
    }
};

QStringList entries(QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

} // namespace

class KREDDELTest : public QObject
{
    Q_OBJECT

private slots:
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
        QStringList shown;
        QList<bool> visible;
        open.editSearch([&](KREDDEL* window, QListWidget* list) {
            shown = entries(list);
            for (const char* button : {"Command1", "Command2"}) {
                Open::click(window, button);
                visible << window->isVisible();
            }
            list->setCurrentRow(1);
            open.app.fixture().queueAnswer(QMessageBox::StandardButton(answer));
            Open::click(window, "Command2");
            visible << window->isVisible();
        });
        // The blank title keeps its entry, so every entry stays with its tab.
        QCOMPARE(shown, QStringList({"Roofers", "   ", "Bakers"}));
        QCOMPARE(visible, QList<bool>({true, true, false}));
        QCOMPARE(open.app.messages(), QStringList({"No lookup selected!", "No lookup selected!",
                                                   "Delete this lookup?"}));
        const Dialogs::Request& question = open.app.fixture().messages().last();
        QCOMPARE(question.title, QString("Edit/Delete Lookup"));
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.defaultButton, QMessageBox::No);
        QCOMPARE(question.icon, QMessageBox::Warning);
        const bool kept = answer == QMessageBox::No;
        QCOMPARE(open.app.exists("SEARCH2.KRD"), kept);
        QCOMPARE(open.app.exists("SEARCH2.XCL"), kept);
        QVERIFY(open.app.exists("SEARCH1.KRD") && open.app.exists("SEARCH3.KRD"));
        QCOMPARE(open.app.tabs()->currentIndex(), 0);
        QCOMPARE(open.tabTexts(), tabs);
        open.editSearch([&shown](KREDDEL*, QListWidget* list) { shown = entries(list); });
        QCOMPARE(shown, tabs);
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
        open.app.fixture().onModal<KRLOOKUP>([&](KRLOOKUP* window) {
            titles << LookupEditor{window}.title()->text();
            script(LookupEditor{window});
            if (window->isVisible())
                window->reject();
        });
        open.editSearch([](KREDDEL* window, QListWidget* list) {
            list->setCurrentRow(2);
            Open::click(window, "Command1");
        });
        QCOMPARE(criteria, QStringList({"SIC Code|2051 Thru 2051|Include"}));
        QCOMPARE(open.app.bytes("SEARCH3.KRD"),
                 std::string("\"Bakers and Roofers\",\"SIC Code\",\"2051\",\"2051\",\"SIC\","
                             "#FALSE#\r\n\"Bakers and Roofers\",\"SIC Code\",\"1761\",\"1761\","
                             "\"SIC\",#FALSE#\r\n"));
        QCOMPARE(open.app.tabs()->currentIndex(), 3);
        QCOMPARE(open.app.tabs()->tabText(3), QString("Bakers and Roofers"));
        QCOMPARE(open.app.names(), QStringList({"Allen Roofing", "Harbor Bakery"}));
        QVERIFY(open.app.messages().isEmpty());
        open.app.tabs()->setCurrentIndex(0);
        script = [](const LookupEditor&) {};
        open.editSearch([](KREDDEL* window, QListWidget* list) {
            QCOMPARE(window->focusWidget(), list);
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
        });
        QCOMPARE(titles, QStringList({"Bakers", "Roofers"}));
    }
};

QTEST_MAIN(KREDDELTest)
#include "KREDDELTest.moc"
