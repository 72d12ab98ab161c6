#include "shell/MASTER.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "results/ResultListData.h"
#include "shell/HelpWindow.h"
#include "shell/WorkspaceWindow.h"
#include "upgrade/ZipBuilder.h"
#include "windows/KRLIST.h"
#include "windows/KRNOTES.h"
#include "windows/KRUPGRD.h"

#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>
#include <QToolBar>
#include <QtTest>

#include <filesystem>
#include <unistd.h>

using namespace kora;
using namespace kora::test;
using W = WorkspaceWindow;

class MASTERTest : public QObject
{
    Q_OBJECT

private:
    static void choose(MASTER& master, Command command)
    {
        master.findChild<QAction*>(QString::fromLatin1(commandName(command)))->trigger();
    }
    // Clicks the button of a window by its caption.
    static void press(QWidget* window, const QString& caption)
    {
        for (auto* button : window->findChildren<QPushButton*>())
            if (button->text() == caption)
                return button->click();
        QFAIL(qPrintable("no button " + caption));
    }
    static std::function<void(KRUPGRD*)> upgradeFrom(const TempFolder& source)
    {
        return [&source](KRUPGRD* window) {
            window->setFolder(QString::fromStdString(source.path()));
            press(window, "Start");
        };
    }
    static QString caption(const char* state)
    {
        return QString("KORA - Workspace is INITIAL and State is %1").arg(state);
    }
    // Starts the main window with OK in the workspace window; true when the
    // result list is up.
    static bool startOnTheList(WindowFixture& fixture, MASTER& master)
    {
        W::answerEach(fixture, {&W::ok});
        return master.start() && master.resultList();
    }
    static QStringList captions(const QList<QAction*>& actions)
    {
        QStringList result;
        for (QAction* action : actions)
            if (!action->isSeparator())
                result << (action->menu() ? action->text() + ": " +
                                                captions(action->menu()->actions()).join('|')
                                          : action->text());
        return result;
    }

private slots:
    void printerSetupStartsOnTheLocalesPaper()
    {
        WindowFixture fixture;
        // A machine without a locale of its own prints on US Letter, in inches.
        const std::vector<std::tuple<QLocale, QPageSize::PageSizeId, QPageLayout::Unit>> cases = {
            {QLocale::c(), QPageSize::Letter, QPageLayout::Inch},
            {QLocale(QLocale::German, QLocale::Germany), QPageSize::A4, QPageLayout::Millimeter},
            {QLocale(QLocale::English, QLocale::UnitedStates), QPageSize::Letter,
             QPageLayout::Inch}};
        for (const auto& [locale, paper, units] : cases) {
            QLocale::setDefault(locale);
            const QPageLayout layout = MASTER().printer().pageLayout();
            QCOMPARE(layout.pageSize().id(), paper);
            QCOMPARE(layout.units(), units);
        }
        QLocale::setDefault(QLocale::system());
    }

    void commandsCarryTheirCaptions()
    {
        WindowFixture fixture;
        MASTER master;
        QStringList tips;
        for (QAction* action : master.findChild<QToolBar*>()->actions())
            tips << action->toolTip();
        QCOMPARE(tips, QStringList({"New Lookup", "Edit/Delete Lookup", "Backup/Restore Data",
                                    "Change Workspace/State", "Print Lookup", "Export Lookup",
                                    "Print Manual", "Update", "Help", "Exit Kora"}));
        QCOMPARE(captions(master.menuBar()->actions()),
                 QStringList({"&File: &Open New State/Workspace|&Backup/Restore User Notes "
                              "and Fields|&Printer Setup|E&xit",
                              "&Search: &New Search|&Edit Search|&Print Search|&Export "
                              "Search|Breakdown...",
                              "&Update: Update Database",
                              "&Help: &Program Help|Print &Manual|&About|&Data Version|Copy SQL "
                              "to Clipboard"}));
        for (bool copies : {true, false}) {
            choose(master, Command::CopySql);
            QCOMPARE(master.copySqlToClipboard(), copies);
        }
    }

    // Closing the workspace window at start asks "Update Database?": No shows
    // it again, Yes opens the upgrade window.
    void closingTheWorkspaceWindowAtStartOffersAnUpgrade_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("upgrade");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("no") << QMessageBox::No << false << QStringList({"Update Database?"});
        QTest::newRow("upgrade cancelled")
            << QMessageBox::Yes << false << QStringList({"Update Database?"});
        QTest::newRow("program files upgraded")
            << QMessageBox::Yes << true
            << QStringList({"Update Database?", "Upgrade complete.  Select State!"});
    }
    void closingTheWorkspaceWindowAtStartOffersAnUpgrade()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, upgrade);
        QFETCH(QStringList, messages);
        WindowFixture fixture;
        TempFolder source;
        ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORA.HLP", "new help"}});
        const std::string help = fileBytes(fixture.programFolder() + "KORA.HLP");
        MASTER master;
        const auto opened = W::answerEach(fixture, {&W::close, &W::ok});
        fixture.onModal<KRUPGRD>([&](KRUPGRD* window) {
            upgrade ? upgradeFrom(source)(window) : press(window, "CANCEL");
        });
        fixture.queueAnswer(answer);
        const bool cancelled = answer == QMessageBox::Yes && !upgrade;
        QCOMPARE(master.start(), !cancelled);
        QCOMPARE(master.hasEnded(), cancelled);
        QCOMPARE(*opened, cancelled ? 1 : 2);
        QCOMPARE(fixture.messageTexts(), messages);
        QCOMPARE(fixture.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(master.values().upgradeContinue, upgrade);
        QCOMPARE(fileBytes(fixture.programFolder() + "KORA.HLP"),
                 upgrade ? std::string("new help") : help);
        QCOMPARE(master.windowTitle() == caption("PA"), !cancelled);
        QCOMPARE(master.isVisible(), !cancelled);
        QCOMPARE(master.resultList() != nullptr, !cancelled);
        QCOMPARE(master.values().programFolder, fixture.programFolder());
    }

    void theUpdateCommandEndsTheProgramAfterADatabaseUpgrade()
    {
        WindowFixture fixture;
        TempFolder source;
        ZipBuilder::write(source.file("KORA1.ZIP"), {{"kOraPa.mdb", "new"}});
        MASTER master;
        QVERIFY(startOnTheList(fixture, master));
        QVERIFY(master.isCommandEnabled(Command::UpdateDatabase));
        QVERIFY(master.isCommandEnabled(Command::UpdateButton));

        // Cancel: workspace, state and list stay as they were.
        KRLIST* list = master.resultList();
        int shown = 0;
        fixture.onModal<KRUPGRD>([&source, &shown](KRUPGRD* window) {
            if (++shown == 1)
                press(window, "CANCEL");
            else
                upgradeFrom(source)(window);
        });
        choose(master, Command::UpdateDatabase);
        QCOMPARE(master.resultList(), list);
        QVERIFY(!master.hasEnded());
        choose(master, Command::UpdateDatabase);
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
            upgradeFrom(source)(window);
            press(window, "CANCEL");
        });
        choose(master, Command::UpdateDatabase);
        QVERIFY(!master.hasEnded());
        QVERIFY(master.resultList());
        QCOMPARE(master.windowTitle(), caption("PA"));
        QCOMPARE(fileBytes(fixture.programFolder() + "KORAPA.MDB"), before);
    }

    void exitFromTheWorkspaceWindowAsksFirst()
    {
        WindowFixture fixture;
        MASTER master;
        fixture.onModal<KRWSPACE>([](KRWSPACE* window) {
            W{window}.exit();
            // Answered No: the window stays, so leave through OK.
            if (window->isVisible())
                W{window}.ok();
        });
        fixture.queueAnswer(QMessageBox::No);
        QVERIFY(master.start());
        const Dialogs::Request question = fixture.messages().first();
        QCOMPARE(question.text, QString("Are you sure you want to quit KORA?"));
        QCOMPARE(question.title, QString("Exit KORA"));
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.icon, QMessageBox::Question);

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
            const W page{window};
            if (++shown > 1)
                page.chooseState(shown == 2 ? "DM" : "NJ");
            if (shown == 2)
                page.close();
            else
                page.ok();
        });
        QVERIFY(master.start());
        fixture.queueAnswer(QMessageBox::No);
        master.SubChangeState();
        QCOMPARE(shown, 3);
        QCOMPARE(fixture.messageTexts(), QStringList({"Update Database?"}));
        QCOMPARE(master.windowTitle(), caption("NJ"));
    }

    void exitAnsweredNoLeavesEverythingAsItWasAndTheCloseBoxDoesNotAsk()
    {
        WindowFixture fixture;
        MASTER master;
        QVERIFY(startOnTheList(fixture, master));
        KRLIST* list = master.resultList();
        fixture.queueAnswer(QMessageBox::No);
        choose(master, Command::Exit);
        QCOMPARE(fixture.messageTexts(), QStringList({"Are you sure you want to quit KORA?"}));
        QVERIFY(!master.hasEnded() && master.isVisible());
        QCOMPARE(master.resultList(), list);
        QCOMPARE(master.windowTitle(), caption("PA"));

        QVERIFY(master.close());
        QVERIFY(master.hasEnded());
        QCOMPARE(fixture.messages().size(), 1);
    }

    void aDatabaseThatFailsAfterItsCheckBringsTheWorkspaceWindowBack()
    {
        WindowFixture fixture;
        Database(fixture.programFolder() + "KORAPA.MDB",
                 Installation(fixture.programFolder()).stateConnect("PA"))
            .execute("DROP TABLE PRIME");
        MASTER master;
        const auto opened = W::answerEach(fixture, {&W::ok, &W::exit});
        QVERIFY(!master.start());
        QCOMPARE(*opened, 2);
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
        choose(master, Command::DataVersion);
        choose(master, Command::About);
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
        QVERIFY(master.isCommandEnabled(Command::Backup));
        QVERIFY(master.isCommandEnabled(Command::BackupButton));

        choose(master, Command::Backup);
        QPointer<KRNOTES> beside = master.notesWindow();
        QVERIFY(beside && beside->isVisible() && !beside->isModal());
        QVERIFY(!QApplication::activeModalWidget());
        // A second click brings the same window forward.
        choose(master, Command::Backup);
        QCOMPARE(master.notesWindow(), beside.data());
        press(beside, "CANCEL");
        QTRY_VERIFY(!beside);

        bool modal = false;
        fixture.onModal<KRNOTES>([&modal](KRNOTES* window) {
            modal = window->isModal();
            press(window, "CANCEL");
        });
        choose(master, Command::BackupButton);
        QVERIFY(modal);
        QVERIFY(!master.hasEnded());
        QVERIFY(fixture.messages().isEmpty());
    }

    void exitOffersABackupOnlyAfterAChange()
    {
        WindowFixture fixture;
        W::answerEach(fixture, {&W::ok});
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
            press(window, "OK");
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
        choose(master, Command::PrinterSetup);
        QCOMPARE(title, QString("Printer Setup"));
        choose(master, Command::ProgramHelp);
        auto* help = master.findChild<HelpWindow*>();
        QVERIFY(help && help->isVisible());
        QVERIFY(fixture.messages().isEmpty());
        QCOMPARE(master.resultList(), list);
        QVERIFY(list->isVisible() && !master.hasEnded());
    }
};

QTEST_MAIN(MASTERTest)
#include "MASTERTest.moc"
