#include "shell/MASTER.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "results/ResultListData.h"
#include "shell/HelpWindow.h"
#include "shell/KRWSPACE.h"
#include "support/WindowFixture.h"
#include "upgrade/ZipBuilder.h"
#include "windows/KRLIST.h"
#include "windows/KRNOTES.h"
#include "windows/KRUPGRD.h"

#include <QComboBox>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QToolBar>
#include <QtTest>

#include <filesystem>
#include <unistd.h>

using namespace kora;
using namespace kora::test;

class MASTERTest : public QObject
{
    Q_OBJECT

private:
    static QStringList captions(const QList<QAction*>& actions)
    {
        QStringList result;
        for (QAction* action : actions)
            if (!action->isSeparator())
                result << action->text();
        return result;
    }

    // Starts the main window with OK in the workspace window; true when the
    // result list is up.
    static bool startOnTheList(WindowFixture& fixture, MASTER& master)
    {
        fixture.onModal<KRWSPACE>(
            [](KRWSPACE* window) { window->findChild<QPushButton*>("OK")->click(); });
        return master.start();
    }

private slots:
    void printerSetupStartsOnTheLocalesPaper()
    {
        WindowFixture fixture;
        // A machine without a locale of its own prints on US Letter, in inches.
        QLocale::setDefault(QLocale::c());
        {
            MASTER master;
            const QPageLayout layout = master.printer().pageLayout();
            QCOMPARE(layout.pageSize().id(), QPageSize::Letter);
            QCOMPARE(layout.units(), QPageLayout::Inch);
        }
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        {
            MASTER master;
            const QPageLayout layout = master.printer().pageLayout();
            QCOMPARE(layout.pageSize().id(), QPageSize::A4);
            QCOMPARE(layout.units(), QPageLayout::Millimeter);
        }
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(MASTER().printer().pageLayout().pageSize().id(), QPageSize::Letter);
        QLocale::setDefault(QLocale::system());
    }

    void toolbarHasTenEqualButtonsInOneRow()
    {
        WindowFixture fixture;
        MASTER master;
        master.show();
        auto* ribbon = master.findChild<QToolBar*>("SSRibbon1");
        QVERIFY(ribbon);
        const QList<QAction*> actions = ribbon->actions();
        QCOMPARE(actions.size(), 10);
        QStringList tips;
        for (QAction* action : actions)
            tips << action->toolTip();
        QCOMPARE(tips, QStringList({"New Lookup", "Edit/Delete Lookup", "Backup/Restore Data",
                                    "Change Workspace/State", "Print Lookup", "Export Lookup",
                                    "Print Manual", "Update", "Help", "Exit Kora"}));
        QWidget* first = ribbon->widgetForAction(actions[0]);
        for (int i = 1; i < actions.size(); ++i) {
            QWidget* previous = ribbon->widgetForAction(actions[i - 1]);
            QWidget* button = ribbon->widgetForAction(actions[i]);
            QCOMPARE(button->size(), first->size());
            QCOMPARE(button->y(), first->y());
            QCOMPARE(button->x(), previous->x() + previous->width());
            QVERIFY(!actions[i]->icon().isNull());
        }
        // 1000 twips at 96 dots per inch.
        QCOMPARE(first->width(), 67);
    }

    void menusCarryTheirCaptions()
    {
        WindowFixture fixture;
        MASTER master;
        const QList<QAction*> menus = master.menuBar()->actions();
        QCOMPARE(captions(menus), QStringList({"&File", "&Search", "&Update", "&Help"}));
        QCOMPARE(captions(menus[0]->menu()->actions()),
                 QStringList({"&Open New State/Workspace", "&Backup/Restore User Notes and Fields",
                              "&Printer Setup", "E&xit"}));
        QCOMPARE(captions(menus[1]->menu()->actions()),
                 QStringList({"&New Search", "&Edit Search", "&Print Search", "&Export Search",
                              "Breakdown..."}));
        QCOMPARE(captions(menus[2]->menu()->actions()), QStringList({"Update Database"}));
        QCOMPARE(captions(menus[3]->menu()->actions()),
                 QStringList({"&Program Help", "Print &Manual", "&About", "&Data Version",
                              "Copy SQL to Clipboard"}));
        for (const char* name :
             {"mnuNewState", "mnuBackup", "mnuPrinter", "mnuExit", "mnuNewSearch", "mnuEditSearch",
              "mnuPrintSearch", "mnuExport", "mnuUpdate", "mnuHelp", "mnuPrintManual", "mnuAbout",
              "mnuVersion", "mnuSQLcopy"})
            QVERIFY2(master.findChild<QAction*>(name), name);

        auto* copy = master.findChild<QAction*>("mnuSQLcopy");
        QVERIFY(!master.copySqlToClipboard());
        copy->trigger();
        QVERIFY(master.copySqlToClipboard());
        copy->trigger();
        QVERIFY(!master.copySqlToClipboard());
    }

    void startShowsTheChosenWorkspaceInTheCaption()
    {
        WindowFixture fixture;
        MASTER master;
        // Closing the window first asks "Update Database?"; No shows it again.
        int shown = 0;
        fixture.onModal<KRWSPACE>([&shown](KRWSPACE* window) {
            if (++shown == 1)
                window->reject();
            else
                window->findChild<QPushButton*>("OK")->click();
        });
        fixture.queueAnswer(QMessageBox::No);
        QVERIFY(master.start());
        QCOMPARE(shown, 2);
        QCOMPARE(fixture.messageTexts(), QStringList({"Update Database?"}));
        QCOMPARE(fixture.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(master.windowTitle(), QString("KORA - Workspace is INITIAL and State is PA"));
        QVERIFY(master.isVisible());
        QVERIFY(master.resultList());
        QCOMPARE(master.values().programFolder, fixture.programFolder());
    }

    void startEndsWhenTheUpgradeIsLeftUnfinished()
    {
        WindowFixture fixture;
        MASTER master;
        fixture.onModal<KRWSPACE>([](KRWSPACE* window) { window->reject(); });
        fixture.onModal<KRUPGRD>(
            [](KRUPGRD* window) { window->findChild<QPushButton*>("Command2")->click(); });
        fixture.queueAnswer(QMessageBox::Yes);
        QVERIFY(!master.start());
        QVERIFY(master.hasEnded());
        QVERIFY(!master.isVisible());
    }

    void anUpgradeOfProgramFilesAtStartShowsTheWorkspaceWindowAgain()
    {
        WindowFixture fixture;
        TempFolder source;
        ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORA.HLP", "new help"}});
        MASTER master;
        int shown = 0;
        fixture.onModal<KRWSPACE>([&shown](KRWSPACE* window) {
            if (++shown == 1)
                window->reject();
            else
                window->findChild<QPushButton*>("OK")->click();
        });
        fixture.onModal<KRUPGRD>([&source](KRUPGRD* window) {
            window->setFolder(QString::fromStdString(source.path()));
            window->findChild<QPushButton*>("Command1")->click();
        });
        fixture.queueAnswer(QMessageBox::Yes);
        QVERIFY(master.start());
        QCOMPARE(shown, 2);
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"Update Database?", "Upgrade complete.  Select State!"}));
        QVERIFY(master.values().upgradeContinue);
        QCOMPARE(fileBytes(fixture.programFolder() + "KORA.HLP"), std::string("new help"));
        QVERIFY(master.resultList());
    }

    void theUpdateCommandEndsTheProgramAfterADatabaseUpgrade()
    {
        WindowFixture fixture;
        TempFolder source;
        ZipBuilder::write(source.file("KORA1.ZIP"), {{"kOraPa.mdb", "new"}});
        MASTER master;
        QVERIFY(startOnTheList(fixture, master));
        QVERIFY(master.isCommandEnabled("mnuUpdate"));
        QVERIFY(master.isCommandEnabled("SSRibbon1_7"));

        // Cancel: workspace, state and list stay as they were.
        KRLIST* list = master.resultList();
        int shown = 0;
        fixture.onModal<KRUPGRD>([&source, &shown](KRUPGRD* window) {
            if (++shown == 1) {
                window->findChild<QPushButton*>("Command2")->click();
                return;
            }
            window->setFolder(QString::fromStdString(source.path()));
            window->findChild<QPushButton*>("Command1")->click();
        });
        master.findChild<QAction*>("mnuUpdate")->trigger();
        QCOMPARE(master.resultList(), list);
        QVERIFY(!master.hasEnded());

        master.findChild<QAction*>("mnuUpdate")->trigger();
        QVERIFY(master.hasEnded());
        QVERIFY(!master.values().upgradeContinue);
        QCOMPARE(fixture.messageTexts().last(),
                 QString("Upgrade complete.  Restart KORA to activate changes!"));
    }

    void aRefusedUpgradeFromTheCommandBringsTheListBack()
    {
        WindowFixture fixture;
        TempFolder source;
        // A folder stands where the backup's scratch copy would go, so the PA
        // notes cannot be saved and the archive is refused after the list let
        // its database go.
        ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORAPA.MDB", "new"}});
        std::filesystem::create_directories(fixture.programFolder() + "BACKUPPA.MDB.new" +
                                            std::to_string(getpid()) + "/block");
        const std::string before = fileBytes(fixture.programFolder() + "KORAPA.MDB");
        MASTER master;
        QVERIFY(startOnTheList(fixture, master));
        fixture.onModal<KRUPGRD>([&source](KRUPGRD* window) {
            window->setFolder(QString::fromStdString(source.path()));
            window->findChild<QPushButton*>("Command1")->click();
            window->findChild<QPushButton*>("Command2")->click();
        });
        master.findChild<QAction*>("mnuUpdate")->trigger();
        QVERIFY(!master.hasEnded());
        QVERIFY(master.resultList());
        QCOMPARE(master.windowTitle(), QString("KORA - Workspace is INITIAL and State is PA"));
        QCOMPARE(fileBytes(fixture.programFolder() + "KORAPA.MDB"), before);
    }

    void exitFromTheWorkspaceWindowAsksFirst()
    {
        WindowFixture fixture;
        MASTER master;
        int shown = 0;
        fixture.onModal<KRWSPACE>([&shown](KRWSPACE* window) {
            ++shown;
            window->findChild<QPushButton*>("cmdExit")->click();
            // Answered No: the window stays, so leave through OK.
            if (window->isVisible())
                window->findChild<QPushButton*>("OK")->click();
        });
        fixture.queueAnswer(QMessageBox::No);
        QVERIFY(master.start());
        QCOMPARE(fixture.messages().first().text, QString("Are you sure you want to quit KORA?"));
        QCOMPARE(fixture.messages().first().title, QString("Exit KORA"));
        QCOMPARE(fixture.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(fixture.messages().first().icon, QMessageBox::Question);

        fixture.onModal<KRWSPACE>(
            [](KRWSPACE* window) { window->findChild<QPushButton*>("cmdExit")->click(); });
        fixture.queueAnswer(QMessageBox::Yes);
        master.SubChangeState();
        QVERIFY(master.hasEnded());
    }

    void closingTheWorkspaceWindowOnAChangeAcceptsNothing()
    {
        WindowFixture fixture;
        MASTER master;
        // Shown at start (OK), then on the change: closed with DM chosen, and
        // after No to "Update Database?" shown again and accepted with NJ.
        int shown = 0;
        fixture.onModal<KRWSPACE>([&shown](KRWSPACE* window) {
            ++shown;
            if (shown == 2) {
                window->findChild<QComboBox*>("STATE")->setCurrentText("DM");
                window->reject();
                return;
            }
            if (shown == 3)
                window->findChild<QComboBox*>("STATE")->setCurrentText("NJ");
            window->findChild<QPushButton*>("OK")->click();
        });
        QVERIFY(master.start());
        fixture.queueAnswer(QMessageBox::No);
        master.SubChangeState();
        QCOMPARE(shown, 3);
        QCOMPARE(fixture.messageTexts(), QStringList({"Update Database?"}));
        QCOMPARE(master.windowTitle(), QString("KORA - Workspace is INITIAL and State is NJ"));
    }

    void theCloseBoxEndsWithoutAQuestion()
    {
        WindowFixture fixture;
        MASTER master;
        QVERIFY(startOnTheList(fixture, master));
        QVERIFY(master.close());
        QVERIFY(master.hasEnded());
        QVERIFY(fixture.messages().isEmpty());
    }

    void aDatabaseThatFailsAfterItsCheckBringsTheWorkspaceWindowBack()
    {
        WindowFixture fixture;
        {
            Database pa(fixture.programFolder() + "KORAPA.MDB",
                        Installation(fixture.programFolder()).stateConnect("PA"));
            pa.execute("DROP TABLE PRIME");
        }
        MASTER master;
        int shown = 0;
        fixture.onModal<KRWSPACE>([&shown](KRWSPACE* window) {
            if (++shown == 1)
                window->findChild<QPushButton*>("OK")->click();
            else
                window->findChild<QPushButton*>("cmdExit")->click();
        });
        QVERIFY(!master.start());
        QCOMPARE(shown, 2);
        QVERIFY(fixture.messageTexts().first().startsWith(
            QString("The state database %1KORAPA.MDB could not be opened: ")
                .arg(QString::fromStdString(fixture.programFolder()))));
        QVERIFY(!master.resultList());
    }

    void informationBoxesShowVersions()
    {
        WindowFixture fixture;
        MASTER master;
        master.setDataVersion("12/01/2026");
        master.findChild<QAction*>("mnuVersion")->trigger();
        master.findChild<QAction*>("mnuAbout")->trigger();
        QCOMPARE(fixture.messages()[0].text, QString("Data Version (12/01/2026)"));
        QCOMPARE(fixture.messages()[1].title, QString("About KORA Ver 2.30.0"));
        QVERIFY(fixture.messages()[1].text.startsWith("Kora Version 2.30.0\r\n\r\n"));
        QCOMPARE(fixture.messages()[1].text.count("\r\n"), 5);
        QVERIFY(!fixture.messages()[1].text.endsWith("\r\n"));
    }
    void backupFromTheMenuLeavesTheMainWindowUsableTheButtonDoesNot()
    {
        WindowFixture fixture;
        MASTER master;
        QVERIFY(startOnTheList(fixture, master));
        QVERIFY(master.isCommandEnabled("mnuBackup"));
        QVERIFY(master.isCommandEnabled("SSRibbon1_2"));

        master.findChild<QAction*>("mnuBackup")->trigger();
        QPointer<KRNOTES> beside = master.notesWindow();
        QVERIFY(beside && beside->isVisible());
        QVERIFY(!beside->isModal());
        QVERIFY(!QApplication::activeModalWidget());
        // A second click brings the same window forward.
        master.findChild<QAction*>("mnuBackup")->trigger();
        QCOMPARE(master.notesWindow(), beside.data());
        beside->findChild<QPushButton*>("CANCEL")->click();
        QTRY_VERIFY(!beside);

        bool modal = false;
        fixture.onModal<KRNOTES>([&modal](KRNOTES* window) {
            modal = window->isModal();
            window->findChild<QPushButton*>("CANCEL")->click();
        });
        master.findChild<QAction*>("SSRibbon1_2")->trigger();
        QVERIFY(modal);
        QVERIFY(!master.hasEnded());
        QVERIFY(fixture.messages().isEmpty());
    }

    void exitAnsweredNoLeavesEverythingAsItWas()
    {
        WindowFixture fixture;
        MASTER master;
        QVERIFY(startOnTheList(fixture, master));
        KRLIST* list = master.resultList();
        fixture.queueAnswer(QMessageBox::No);
        master.findChild<QAction*>("mnuExit")->trigger();
        QCOMPARE(fixture.messageTexts(), QStringList({"Are you sure you want to quit KORA?"}));
        QVERIFY(!master.hasEnded());
        QVERIFY(master.isVisible());
        QCOMPARE(master.resultList(), list);
        QCOMPARE(master.windowTitle(), QString("KORA - Workspace is INITIAL and State is PA"));
    }

    void exitOffersABackupOnlyAfterAChange()
    {
        WindowFixture fixture;
        fixture.onModal<KRWSPACE>(
            [](KRWSPACE* window) { window->findChild<QPushButton*>("OK")->click(); });
        {
            MASTER master;
            QVERIFY(master.start());
            fixture.queueAnswer(QMessageBox::Yes);
            master.SubExit();
            QCOMPARE(fixture.messageTexts(), QStringList({"Are you sure you want to quit KORA?"}));
            QVERIFY(master.hasEnded());
        }

        MASTER master;
        QVERIFY(master.start());
        Database& db = master.resultList()->database();
        db.execute("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, Omit) "
                   "VALUES ('100001', '00', '10000100', 'Acme', ' ')");
        ResultListData(db).setOmit(Value("100001"), Value("00"), true);
        // Quit, back up, and the backup window's own question.
        for (int answers = 0; answers < 3; ++answers)
            fixture.queueAnswer(QMessageBox::Yes);
        bool shown = false;
        fixture.onModal<KRNOTES>([&shown](KRNOTES* window) {
            shown = true;
            window->findChild<QPushButton*>("OK")->click();
        });
        master.SubExit();
        QVERIFY(shown);
        const QList<Dialogs::Request> messages = fixture.messages().mid(1);
        QCOMPARE(messages.size(), 4);
        QCOMPARE(messages[1].text, QString("You may have changed some notes during your session.  "
                                           "Do you want to back them up on diskette now?"));
        QCOMPARE(messages[1].title, QString("Backup Notes"));
        QCOMPARE(messages[1].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(messages[1].icon, QMessageBox::Question);
        QCOMPARE(messages[3].text,
                 QString::fromStdString("0 User Notes and 1 Fields Saved to " +
                                        fixture.programFolder() + "BACKUPPA.MDB"));
        QVERIFY(master.hasEnded());
    }

    void printerSetupAndHelpBringTheListBack()
    {
        WindowFixture fixture;
        MASTER master;
        QVERIFY(startOnTheList(fixture, master));
        KRLIST* list = master.resultList();
        QString title;
        fixture.onModal<QPageSetupDialog>([&title](QPageSetupDialog* dialog) {
            title = dialog->windowTitle();
            dialog->reject();
        });
        master.findChild<QAction*>("mnuPrinter")->trigger();
        QCOMPARE(title, QString("Printer Setup"));
        master.findChild<QAction*>("mnuHelp")->trigger();
        auto* help = master.findChild<HelpWindow*>();
        QVERIFY(help && help->isVisible());
        QVERIFY(fixture.messages().isEmpty());
        QCOMPARE(master.resultList(), list);
        QVERIFY(list->isVisible());
        QVERIFY(!master.hasEnded());
    }
};

QTEST_MAIN(MASTERTest)
#include "MASTERTest.moc"
