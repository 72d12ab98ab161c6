#include "windows/KREDDEL.h"
#include "LookupEditor.h"
#include "LookupWindowFixture.h"
#include "lookup/FieldCatalogue.h"
#include "windows/KRLIST.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

#include <fstream>

using namespace kora;
using namespace kora::test;

class KREDDELTest : public QObject
{
    Q_OBJECT

private:
    // Three lookups, the second titled with blanks, and the main window on tab 0.
    struct Open
    {
        LookupWindowFixture app;

        Open()
        {
            app.writeLookup("SEARCH1.KRD", "Roofers",
                            {{"", "SIC Code", "1761", "1761", "SIC", false}});
            app.writeLookup("SEARCH2.KRD", "   ", {{"", "County", "09", "09", "COUNTY", false}});
            app.writeLookup("SEARCH3.KRD", "Bakers",
                            {{"", "SIC Code", "2051", "2051", "SIC", false}});
            std::ofstream(app.workspaceFile("SEARCH2.XCL")) << "excluded";
            app.list().SETTABS();
            app.fixture().onModal<KREDDEL>([this](KREDDEL* window) {
                m_script(window);
                if (window->isVisible())
                    window->reject();
            });
        }

        // Runs Edit Search with a script for the window it opens.
        void editSearch(std::function<void(KREDDEL*)> script)
        {
            m_script = std::move(script);
            app.master().findChild<QAction*>("mnuEditSearch")->trigger();
        }

    private:
        std::function<void(KREDDEL*)> m_script;
    };

    static QStringList entries(KREDDEL* window)
    {
        auto* list = window->findChild<QListWidget*>("List1");
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
        return texts;
    }
    static void choose(KREDDEL* window, int row)
    {
        auto* list = window->findChild<QListWidget*>("List1");
        list->setCurrentRow(row);
    }
    static void press(KREDDEL* window, const char* button)
    {
        window->findChild<QPushButton*>(button)->click();
    }

private slots:
    void listsTitlesInTabOrderAndAsksForAChoice()
    {
        Open open;
        QStringList shown;
        QList<bool> visibleAfter;
        open.editSearch([&](KREDDEL* window) {
            shown = entries(window);
            press(window, "Command1");
            visibleAfter << window->isVisible();
            press(window, "Command2");
            visibleAfter << window->isVisible();
            press(window, "Command3");
        });
        // The blank title keeps its entry, so every entry stays with its tab.
        QCOMPARE(shown, QStringList({"Roofers", "   ", "Bakers"}));
        QCOMPARE(open.app.fixture().messageTexts(),
                 QStringList({"No lookup selected!", "No lookup selected!"}));
        QCOMPARE(open.app.fixture().messages().first().buttons,
                 QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(visibleAfter, QList<bool>({true, true}));
        QVERIFY(open.app.exists("SEARCH1.KRD") && open.app.exists("SEARCH3.KRD"));
    }

    void deletingTheSecondOfThreeLeavesTwoTabs()
    {
        Open open;
        open.app.fixture().queueAnswer(QMessageBox::Yes);
        open.editSearch([](KREDDEL* window) {
            choose(window, 1);
            press(window, "Command2");
        });
        const Dialogs::Request& question = open.app.fixture().messages().value(0);
        QCOMPARE(question.text, QString("Delete this lookup?"));
        QCOMPARE(question.title, QString("Edit/Delete Lookup"));
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.defaultButton, QMessageBox::No);
        QCOMPARE(question.icon, QMessageBox::Warning);
        QVERIFY(!open.app.exists("SEARCH2.KRD"));
        QVERIFY(!open.app.exists("SEARCH2.XCL"));
        QVERIFY(open.app.exists("SEARCH1.KRD") && open.app.exists("SEARCH3.KRD"));
        QCOMPARE(open.app.tabs()->currentIndex(), 0);
        QCOMPARE(open.app.tabs()->tabText(1), QString("Roofers"));
        QCOMPARE(open.app.tabs()->tabText(2), QString("Bakers"));
        QCOMPARE(open.app.tabs()->tabText(3), QString());

        // The list is filled again the next time.
        QStringList shown;
        open.editSearch([&shown](KREDDEL* window) { shown = entries(window); });
        QCOMPARE(shown, QStringList({"Roofers", "Bakers"}));
    }

    void answeringNoDeletesNothing()
    {
        Open open;
        open.app.fixture().queueAnswer(QMessageBox::No);
        bool closed = false;
        open.editSearch([&closed](KREDDEL* window) {
            choose(window, 2);
            press(window, "Command2");
            closed = !window->isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(open.app.fixture().messageTexts(), QStringList({"Delete this lookup?"}));
        for (const char* file : {"SEARCH1.KRD", "SEARCH2.KRD", "SEARCH2.XCL", "SEARCH3.KRD"})
            QVERIFY2(open.app.exists(file), file);
        QCOMPARE(open.app.tabs()->tabText(3), QString("Bakers"));
    }

    void editOpensTheChosenLookupPastABlankTitle()
    {
        Open open;
        QString title;
        QStringList criteria;
        open.app.fixture().onModal<KRLOOKUP>([&](KRLOOKUP* window) {
            LookupEditor editor{window};
            title = editor.title()->text();
            criteria = editor.criteria();
            LookupEditor::type(editor.title(), "Bakers and Roofers");
            editor.choose(FieldCatalogue::SicCode);
            LookupEditor::type(editor.from(), "1761");
            editor.press("OK");
            if (window->isVisible())
                window->reject();
        });
        open.editSearch([](KREDDEL* window) {
            choose(window, 2);
            press(window, "Command1");
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
        QVERIFY(open.app.fixture().messages().isEmpty());
    }

    void theKeyboardChoosesAndOpensALookup()
    {
        Open open;
        QString title;
        open.app.fixture().onModal<KRLOOKUP>([&title](KRLOOKUP* window) {
            title = LookupEditor{window}.title()->text();
            window->reject();
        });
        open.editSearch([](KREDDEL* window) {
            auto* list = window->findChild<QListWidget*>("List1");
            QCOMPARE(window->focusWidget(), list);
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
        });
        QCOMPARE(title, QString("Roofers"));
        QVERIFY(open.app.fixture().messages().isEmpty());
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
        QVERIFY(master.isCommandEnabled("mnuNewSearch"));
    }
};

QTEST_MAIN(KREDDELTest)
#include "KREDDELTest.moc"
