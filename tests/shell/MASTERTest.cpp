#include "shell/MASTER.h"

#include "base/Dates.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "database/StatePublication.h"
#include "demo/DemoData.h"
#include "loading/UpdateRun.h"
#include "lookup/LookupFile.h"
#include "results/ResultListData.h"
#include "shell/HelpWindow.h"
#include "shell/KRWSPACE.h"
#include "shell/KoraApplication.h"
#include "shell/TITLE.h"
#include "support/StateDatabase.h"
#include "support/TestServer.h"
#include "support/WindowFixture.h"
#include "upgrade/ZipBuilder.h"
#include "widgets/CenterForm.h"
#include "windows/KREXPORT.h"
#include "windows/KRLIST.h"
#include "windows/KRNOTES.h"
#include "windows/KRUPGRD.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTableView>
#include <QTextBrowser>
#include <QToolBar>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

using namespace kora;
using namespace kora::test;

namespace {

// Drives the workspace window as a user would.
struct WorkspaceWindow
{
    using Step = void (WorkspaceWindow::*)() const;

    KRWSPACE* window;

    void ok() const { press("OK"); }
    void remove() const { press("DELETE"); }
    void exit() const { press("cmdExit"); }
    void close() const { window->reject(); }
    void typeWorkspace(const QString& name) const { combo("WORKSPACE")->setEditText(name); }
    void chooseState(const QString& state) const { combo("STATE")->setCurrentText(state); }
    QStringList workspaces() const { return items("WORKSPACE"); }
    QStringList states() const { return items("STATE"); }

    // Takes one step in each workspace window that opens from now on, the
    // steps in turn and the last one again for any further window; the
    // count of windows opened goes up by one each time.
    static std::shared_ptr<int> answerEach(WindowFixture& fixture, std::vector<Step> steps)
    {
        auto opened = std::make_shared<int>(0);
        fixture.onModal<KRWSPACE>([opened, steps](KRWSPACE* window) {
            const size_t turn = static_cast<size_t>((*opened)++);
            const Step step = steps[std::min(turn, steps.size() - 1)];
            (WorkspaceWindow{window}.*step)();
        });
        return opened;
    }

private:
    QComboBox* combo(const char* name) const { return window->findChild<QComboBox*>(name); }
    void press(const char* name) const { window->findChild<QPushButton*>(name)->click(); }
    QStringList items(const char* name) const
    {
        QStringList texts;
        for (int i = 0; i < combo(name)->count(); ++i)
            texts << combo(name)->itemText(i);
        return texts;
    }
};

} // namespace

using W = WorkspaceWindow;

class MASTERTest : public QObject
{
    Q_OBJECT

private:
    static void choose(MASTER& master, Command command)
    {
        master.findChild<QAction*>(QString::fromLatin1(commandName(command)))->trigger();
    }
    static void press(QWidget* window, const QString& caption)
    {
        for (auto* button : window->findChildren<QPushButton*>())
            if (button->text() == caption)
                return button->click();
        QFAIL(qPrintable("no button " + caption));
    }
    // Answers each upgrade window: Start on the archives of `source`, or CANCEL when null.
    static void upgradeWith(WindowFixture& fixture, std::vector<const TempFolder*> sources)
    {
        auto turn = std::make_shared<size_t>(0);
        fixture.onModal<KRUPGRD>([turn, sources](KRUPGRD* window) {
            const TempFolder* source = sources[std::min((*turn)++, sources.size() - 1)];
            if (source) {
                window->setFolder(QString::fromStdString(source->path()));
                press(window, "Start");
            }
            if (window->isVisible())
                press(window, "CANCEL");
        });
    }
    static QString caption(const char* state)
    {
        return QString("KORA - Workspace is INITIAL and State is %1").arg(state);
    }
    // OK in each workspace window on the state `*state` holds then.
    static std::shared_ptr<QString> acceptOn(WindowFixture& fixture, const QString& state)
    {
        auto chosen = std::make_shared<QString>(state);
        fixture.onModal<KRWSPACE>([chosen](KRWSPACE* window) {
            WorkspaceWindow{window}.chooseState(*chosen);
            WorkspaceWindow{window}.ok();
        });
        return chosen;
    }

    // The first column of the first row of a query on PA.
    static std::string value(const WindowFixture& fixture, const std::string& sql)
    {
        Database db(fixture.programFolder() + "KORAPA.MDB",
                    Installation(fixture.programFolder()).stateConnect("PA"));
        return queryRows(db, sql).at(0);
    }

    // The workspace window open in a program folder with the workspaces
    // Agency (holding a lookup) and Empty, whose settings file holds
    // `settings` (none when empty).
    struct OpenWorkspaces
    {
        WindowFixture fixture;
        MASTER master;
        std::unique_ptr<KRWSPACE> window;
        WorkspaceWindow page{nullptr};

        explicit OpenWorkspaces(const std::string& settings = {})
        {
            if (!settings.empty())
                std::ofstream(fixture.temporaryFolder() + "KORA.INI", std::ios::binary) << settings;
            QDir(folder()).mkpath("Agency");
            QDir(folder()).mkpath("Empty");
            std::ofstream(fixture.programFolder() + "Agency/SEARCH1.KRD") << "\"Title\"\r\n";
            master.fixProgramValues();
            window = std::make_unique<KRWSPACE>(master);
            window->show();
            page.window = window.get();
        }
        QString folder() const { return QString::fromStdString(fixture.programFolder()); }
        bool accepted() { return master.values().selectionAccepted; }
    };

private slots:
    void printerSetupStartsOnTheLocalesPaper()
    {
        WindowFixture fixture;
        for (const auto& [locale, paper] :
             {std::pair(QLocale::c(), QPageSize::Letter),
              std::pair(QLocale(QLocale::German, QLocale::Germany), QPageSize::A4),
              std::pair(QLocale(QLocale::English, QLocale::UnitedStates), QPageSize::Letter)}) {
            QLocale::setDefault(locale);
            const QPageLayout layout = MASTER().printer().pageLayout();
            QCOMPARE(layout.pageSize().id(), paper);
            QCOMPARE(layout.units(),
                     paper == QPageSize::A4 ? QPageLayout::Millimeter : QPageLayout::Inch);
        }
        QLocale::setDefault(QLocale::system());
    }

    // The help names every command and criterion and its links lead to
    // its sections; About and Data Version tell the versions.
    void helpMenuShowsTheHelpAndTellsTheVersions()
    {
        WindowFixture fixture;
        MASTER master;
        for (bool copies : {true, false}) {
            choose(master, Command::CopySql);
            QCOMPARE(master.copySqlToClipboard(), copies);
        }
        master.setDataVersion("12/01/2026");
        choose(master, Command::DataVersion);
        choose(master, Command::About);
        QCOMPARE(fixture.messages()[0].text, QString("Data Version (12/01/2026)"));
        QCOMPARE(fixture.messages()[1].title, QString("About KORA Ver 2.30.0"));
        QVERIFY(fixture.messages()[1].text.startsWith("Kora Version 2.30.0\r\n\r\n"));

        choose(master, Command::ProgramHelp);
        auto* browser = master.findChild<HelpWindow*>()->findChild<QTextBrowser*>();
        const QString text = browser->toPlainText().simplified();
        QStringList names;
        for (QAction* menu : master.menuBar()->actions())
            for (QAction* command : menu->menu()->actions())
                names << QString(command->text()).remove('&');
        for (QAction* button : master.findChild<QToolBar*>()->actions())
            names << button->toolTip();
        for (const QString& name : names)
            QVERIFY2(text.contains(name), qPrintable(name));

        const QString html = browser->document()->toHtml();
        const QRegularExpression link(QStringLiteral("href=\"#([a-z]+)\""));
        int links = 0;
        for (auto match = link.globalMatch(html); match.hasNext(); ++links) {
            const QString anchor = match.next().captured(1);
            QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(anchor)), qPrintable(anchor));
        }
        QVERIFY(links >= 12);
    }

    void aWindowShownDuringTheSplashLeavesItReadable()
    {
        TITLE splash;
        CENTERFORM(&splash);
        splash.show();
        QDialog workspace;
        workspace.resize(340, 130);
        CENTERFORM(&workspace);
        QVERIFY(workspace.frameGeometry().intersects(splash.frameGeometry()));
        placeClearOf(&workspace, &splash);
        workspace.show();
        QVERIFY(!workspace.frameGeometry().intersects(splash.frameGeometry()));
        QVERIFY(workspace.screen()->availableGeometry().contains(workspace.frameGeometry()));
        const QPoint placed = workspace.pos();
        placeClearOf(&workspace, &splash);
        QCOMPARE(workspace.pos(), placed);
    }

    // Closing the workspace window at start asks "Update Database?": No shows
    // it again, Yes opens the upgrade window.
    void closingTheWorkspaceWindowAtStartOffersAnUpgrade_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("upgrade");
        QTest::newRow("no") << QMessageBox::No << false;
        QTest::newRow("upgrade cancelled") << QMessageBox::Yes << false;
        QTest::newRow("program files upgraded") << QMessageBox::Yes << true;
    }
    void closingTheWorkspaceWindowAtStartOffersAnUpgrade()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, upgrade);
        WindowFixture fixture;
        TempFolder source;
        ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORA.HLP", "new help"}});
        const std::string help = fileBytes(fixture.programFolder() + "KORA.HLP");
        MASTER master;
        const auto opened = W::answerEach(fixture, {&W::close, &W::ok});
        upgradeWith(fixture, {upgrade ? &source : nullptr});
        fixture.queueAnswer(answer);
        const bool cancelled = answer == QMessageBox::Yes && !upgrade;
        QCOMPARE(master.start(), !cancelled);
        QCOMPARE(master.hasEnded(), cancelled);
        QCOMPARE(*opened, cancelled ? 1 : 2);
        QStringList messages({"Update Database?"});
        if (upgrade)
            messages << "Upgrade complete.  Select State!";
        QCOMPARE(fixture.messageTexts(), messages);
        QCOMPARE(fixture.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(master.values().upgradeContinue, upgrade);
        QCOMPARE(fileBytes(fixture.programFolder() + "KORA.HLP"),
                 upgrade ? std::string("new help") : help);
        QCOMPARE(master.windowTitle() == caption("PA"), !cancelled);
        QCOMPARE(master.resultList() != nullptr && master.isVisible(), !cancelled);
    }

    // Exit asks before it ends, and offers a backup of the notes only when
    // they may have changed; the close box ends at once.
    void exitAsksFirstAndOffersABackupOnlyAfterAChange()
    {
        WindowFixture fixture;
        MASTER master;
        fixture.onModal<KRWSPACE>([](KRWSPACE* window) {
            W{window}.exit();
            if (window->isVisible())
                W{window}.ok();
        });
        fixture.queueAnswer(QMessageBox::No);
        QVERIFY(master.start());
        QCOMPARE(fixture.messageTexts(), QStringList({"Are you sure you want to quit KORA?"}));
        KRLIST* list = master.resultList();
        fixture.queueAnswer(QMessageBox::No);
        choose(master, Command::Exit);
        QVERIFY(!master.hasEnded() && master.isVisible());
        QCOMPARE(master.resultList(), list);
        QCOMPARE(master.windowTitle(), caption("PA"));

        Database& db = list->database();
        db.execute("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, Omit) "
                   "VALUES ('100001', '00', '10000100', 'Acme', ' ')");
        ResultListData(db).setOmit(Value("100001"), Value("00"), true);
        // Cancel on the backup question goes back to the program.
        fixture.queueAnswer(QMessageBox::Yes);
        fixture.queueAnswer(QMessageBox::Cancel);
        choose(master, Command::Exit);
        QVERIFY(!master.hasEnded() && master.isVisible());
        QCOMPARE(master.resultList(), list);
        QCOMPARE(fixture.messages().last().buttons,
                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        // Quit, back up, and the backup window's own question.
        for (int answers = 0; answers < 3; ++answers)
            fixture.queueAnswer(QMessageBox::Yes);
        fixture.onModal<KRNOTES>([](KRNOTES* window) { press(window, "OK"); });
        choose(master, Command::ExitButton);
        const QList<Dialogs::Request> messages = fixture.messages();
        QCOMPARE(messages.size(), 8);
        QCOMPARE(messages[5].text, QString("You may have changed some notes during your session.  "
                                           "Do you want to back them up now?"));
        QCOMPARE(messages[7].text,
                 QString::fromStdString("0 User Notes and 1 Fields Saved to " +
                                        fixture.programFolder() + "BACKUPPA.MDB"));
        QVERIFY(master.hasEnded());
    }

    void closingTheWorkspaceWindowOnAChangeAcceptsNothing()
    {
        WindowFixture fixture;
        MASTER master;
        // OK at start; on the change closed with DM chosen, then after No to
        // "Update Database?" accepted with NJ.
        int shown = 0;
        fixture.onModal<KRWSPACE>([&shown](KRWSPACE* window) {
            const W page{window};
            if (++shown > 1)
                page.chooseState(shown == 2 ? "DM" : "NJ");
            shown == 2 ? page.close() : page.ok();
        });
        QVERIFY(master.start());
        fixture.queueAnswer(QMessageBox::No);
        master.SubChangeState();
        QCOMPARE(shown, 3);
        QCOMPARE(fixture.messageTexts(), QStringList({"Update Database?"}));
        QCOMPARE(master.windowTitle(), caption("NJ"));
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
        // Exit there ends at once: nothing changed to back up.
        for (auto answer : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No})
            fixture.queueAnswer(answer);
        QVERIFY(!master.start());
        QCOMPARE(*opened, 2);
        const QStringList messages = fixture.messageTexts();
        QCOMPARE(messages.size(), 2);
        QVERIFY(
            messages[0].startsWith(QString("The state database %1KORAPA.MDB could not be opened: ")
                                       .arg(QString::fromStdString(fixture.programFolder()))));
        QCOMPARE(messages[1], QString("Are you sure you want to quit KORA?"));
        QVERIFY(!master.resultList() && master.hasEnded());
    }

    // Export Search and its toolbar button open the export window on the
    // lookup tab shown; commands on the list bring it back.
    void commandsOnTheListBringItBackAndAnUpgradeEndsTheProgram()
    {
        WindowFixture fixture;
        TempFolder source, refused;
        ZipBuilder::write(source.file("KORA1.ZIP"), {{"kOraPa.mdb", "new"}});
        ZipBuilder::write(refused.file("KORA1.ZIP"), {{"KORAPA.MDB", "new"}});
        Database db(fixture.programFolder() + "KORAPA.MDB",
                    Installation(fixture.programFolder()).stateConnect("PA"));
        db.execute("WITH RECURSIVE n(i) AS (SELECT 1000000 UNION ALL SELECT i + 1 FROM n "
                   "WHERE i < 1000019) INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, "
                   "NAMESORT, ZIP, Omit) SELECT i, '01', i || '01', 'COMPANY ' || i, "
                   "'COMPANY ' || i, CASE WHEN i < 1000002 THEN '15001' ELSE '19000' END, ' ' "
                   "FROM n");
        db.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) SELECT FILE, '01', ' ' FROM PRIME");
        db.close();
        QVERIFY(LookupFile::write(fixture.programFolder() + "INITIAL/SEARCH1.KRD", "Zip 15001",
                                  {{"Zip 15001", "Zip Code", "15001", "15001", "ZIP", false}}));
        const std::string database = fileBytes(fixture.programFolder() + "KORAPA.MDB");
        MASTER master;
        W::answerEach(fixture, {&W::ok});
        QVERIFY(master.start() && master.resultList());
        KRLIST* list = master.resultList();
        // Nothing to export on the all-companies tab.
        QVERIFY(!master.isCommandEnabled(Command::Export));
        QVERIFY(!master.isCommandEnabled(Command::ExportLookupButton));
        list->findChild<QTabBar*>()->setCurrentIndex(1);

        const QString out = QString::fromStdString(fixture.programFolder()) + "LOOKUP.TXT";
        Dialogs::setFileScript([&out](const Dialogs::FileRequest&) {
            return Dialogs::FileAnswer{true, {out}, 2};
        });
        fixture.onModal<KREXPORT>([](KREXPORT* window) {
            for (auto* option : window->findChildren<QRadioButton*>())
                if (option->text() == "TXT (ASCII) - Fixed Length")
                    option->setChecked(true);
            press(window, "OK");
        });
        for (Command command : {Command::Export, Command::ExportLookupButton}) {
            QFile::remove(out);
            QVERIFY(master.isCommandEnabled(command));
            choose(master, command);
            const QByteArray bytes = QByteArray::fromStdString(fileBytes(out.toStdString()));
            QCOMPARE(bytes.count("\r\n"), 2);
            QVERIFY(bytes.startsWith("1000000-01COMPANY 1000000"));
            QVERIFY(bytes.contains("\r\n1000001-01COMPANY 1000001"));
        }
        const QStringList exported(2, "Export done: 2 companies written to " + out);
        QCOMPARE(fixture.messageTexts(), exported);

        QString title;
        fixture.onModal<QPageSetupDialog>([&title](QPageSetupDialog* dialog) {
            title = dialog->windowTitle();
            dialog->reject();
        });
        choose(master, Command::PrinterSetup);
        QCOMPARE(title, QString("Printer Setup"));
        choose(master, Command::HelpButton);
        QVERIFY(master.findChild<HelpWindow*>()->isVisible());

        choose(master, Command::Backup);
        QPointer<KRNOTES> beside = master.notesWindow();
        QVERIFY(beside && beside->isVisible() && !beside->isModal());
        QVERIFY(!QApplication::activeModalWidget());
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

        // Cancelled, then refused: a folder where the backup's scratch copy
        // goes keeps the notes from being saved after the list let its
        // database go. Either way the list is back.
        upgradeWith(fixture, {nullptr, &refused, &source});
        choose(master, Command::UpdateDatabase);
        QCOMPARE(fixture.messageTexts(), exported);
        QCOMPARE(master.resultList(), list);
        QVERIFY(list->isVisible() && !master.hasEnded());
        std::filesystem::create_directories(fixture.programFolder() + "BACKUPPA.MDB.new" +
                                            std::to_string(getpid()) + "/block");
        choose(master, Command::UpdateDatabase);
        QVERIFY(!master.hasEnded() && master.resultList());
        QCOMPARE(master.windowTitle(), caption("PA"));
        QCOMPARE(fileBytes(fixture.programFolder() + "KORAPA.MDB"), database);
        choose(master, Command::UpdateButton);
        QVERIFY(master.hasEnded());
        QVERIFY(!master.values().upgradeContinue);
        const QStringList messages = fixture.messageTexts().mid(exported.size());
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages[0].startsWith("The PA user notes and fields could not be saved ("));
        QCOMPARE(messages[1], QString("Upgrade complete.  Restart KORA to activate changes!"));
    }

    // Cancel starts on the list with the update left waiting, and a later
    // change of state asks nothing about it.
    void cancelLeavesTheUpdateForTheNextStart()
    {
        WindowFixture fixture;
        writeFile(fixture.programFolder() + "CLASSES.DAT", " 8810CLERICAL" + std::string(44, ' '));
        MASTER master;
        const auto state = acceptOn(fixture, "PA");
        fixture.queueAnswer(QMessageBox::Cancel);
        QVERIFY(master.start());
        QCOMPARE(value(fixture, "SELECT COUNT(*) FROM CLASSLIST"), std::string("0"));
        *state = "NJ";
        master.findChild<QAction*>("mnuNewState")->trigger();
        QCOMPARE(fixture.messages().size(), 1);
        QVERIFY(std::filesystem::exists(fixture.programFolder() + "CLASSES.DAT"));
        QCOMPARE(master.windowTitle(), caption("NJ"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(master.workArea()->subWindowList().size(), 1);
        QCOMPARE(master.workArea()->subWindowList().first()->widget(),
                 static_cast<QWidget*>(master.resultList()));
    }

    void aCompanyLoadRunsWithTheSplashInFront()
    {
        WindowFixture fixture;
        DemoData("PA", 20, Dates::today()).writeUpdateFiles(fixture.programFolder());
        TITLE splash;
        splash.show();
        MASTER master(&splash);
        acceptOn(fixture, "PA");
        fixture.queueAnswer(QMessageBox::Ok);
        QVERIFY(!master.start());
        QVERIFY(master.hasEnded());
        QCOMPARE(fixture.messageTexts(), QStringList({QString::fromUtf8(UpdateRun::kQuestion)}));
        QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(
            splash.findChild<QLabel*>("lblStatus")->text().startsWith("TOTAL COMPANIES ADDED IS "));
        QVERIFY(!splash.isVisible());
        QCOMPARE(value(fixture, "SELECT COUNT(*) FROM PRIME"), std::string("20"));
        QCOMPARE(value(fixture, "SELECT Dummy || ' ' || Version FROM VERSION"),
                 "1 " + Dates::today());
    }

    void newYorkAddressesAloneAreNoUpdateAndAnEmptyFileIsTold()
    {
        WindowFixture fixture;
        writeFile(fixture.programFolder() + "DATA2NY.DAT", std::string(300, 'X'));
        std::ofstream(fixture.programFolder() + "DATANY.DAT", std::ios::binary);
        MASTER master;
        acceptOn(fixture, "NY");
        QVERIFY(master.start());
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"DATANY.DAT is empty: there is nothing in it to load"}));
        QCOMPARE(master.windowTitle(), caption("NY"));
        QVERIFY(std::filesystem::exists(fixture.programFolder() + "DATA2NY.DAT"));
    }

    // On a network folder the window says once a run that a server is the
    // way to share a state between PCs; on a local one it says nothing.
    void listsWorkspacesAndStatesAndAcceptsTheChosenOnes()
    {
        OpenWorkspaces agency("\"Agency\",\"NY\"\r\n");
        QCOMPARE(agency.window->workspace() + agency.window->state(), QString("AgencyNY"));
        qputenv("KORA_NETWORK_FOLDER", "1");
        OpenWorkspaces gone("\"Gone\",\"XX\"\r\n");
        gone.window->hide();
        gone.window->show();
        KRWSPACE again(gone.master);
        again.show();
        qunsetenv("KORA_NETWORK_FOLDER");
        QCOMPARE(gone.window->workspace() + gone.window->state(), QString("INITIALPA"));
        QCOMPARE(gone.fixture.messages().size(), 1);
        const Dialogs::Request told = gone.fixture.messages().first();
        QCOMPARE(told.icon, QMessageBox::Warning);
        QVERIFY2(told.text.startsWith("The program folder " + gone.folder().chopped(1) +
                                      " is on a network file system.\n\n"),
                 qPrintable(told.text));
        QVERIFY(told.text.contains("publish it to a database server"));
        OpenWorkspaces open;
        QCOMPARE(open.page.states(), QStringList({"DE", "NJ", "NY", "PA", "PM", "DM"}));
        QCOMPARE(open.page.workspaces(), QStringList({"Agency", "Empty", "INITIAL"}));
        QCOMPARE(open.window->workspace() + open.window->state(), QString("INITIALPA"));
        QFile::remove(open.folder() + "BACKUPPA.MDB");
        open.page.ok();
        QCOMPARE(open.window->result(), int(QDialog::Accepted));
        QVERIFY(open.accepted());
        QCOMPARE(open.master.values().state, std::string("PA"));
        QCOMPARE(open.master.values().stateConnect,
                 Installation(open.fixture.programFolder()).stateConnect("PA"));
        QCOMPARE(open.fixture.settingsBytes(), std::string("\"INITIAL\",\"PA\"\r\n"));
        QVERIFY(open.fixture.messages().isEmpty());
        QVERIFY(Database(open.fixture.programFolder() + "BACKUPPA.MDB", "").tableExists("USER"));
    }

    // Workspaces are deleted, with and without lookups, when the user agrees.
    // Each refusal keeps the window open with nothing accepted or saved,
    // until a new workspace is confirmed.
    void deletesAndRefusesUntilANewWorkspaceIsConfirmedAndSaved()
    {
        OpenWorkspaces open;
        // No, then Yes to each question.
        for (auto answer : {QMessageBox::No, QMessageBox::Yes, QMessageBox::Yes})
            open.fixture.queueAnswer(answer);
        open.page.typeWorkspace("Empty");
        open.page.remove();
        QVERIFY(QDir(open.folder() + "Empty").exists());
        open.page.remove();
        QVERIFY(!QDir(open.folder() + "Empty").exists());
        QVERIFY(!open.page.workspaces().contains("Empty"));
        open.page.typeWorkspace("Agency");
        open.page.remove();
        QVERIFY(!QDir(open.folder() + "Agency").exists());
        open.page.typeWorkspace("Nowhere");
        open.page.remove();
        open.page.typeWorkspace("");
        open.page.remove();

        const QString createFailed = "Could not create workspace or save settings!";
        open.page.typeWorkspace("Main Line");
        open.fixture.queueAnswer(QMessageBox::No);
        open.page.ok();
        QCOMPARE(open.fixture.messages().at(5).defaultButton, QMessageBox::No);

        open.page.typeWorkspace("INITIAL/nested");
        open.fixture.queueAnswer(QMessageBox::Yes);
        open.page.ok();
        open.page.typeWorkspace("INITIAL");
        const QString settings =
            QString::fromStdString(open.fixture.temporaryFolder()) + "KORA.INI";
        QVERIFY(QDir().mkpath(settings + "/taken"));
        open.page.ok();
        QVERIFY(QDir(settings).removeRecursively());
        Database(open.fixture.programFolder() + "KORAI.MDB", ";PWD=TRZN382pbk")
            .execute("UPDATE Setup SET pwd = ';PWD=not-the-one' WHERE State = 'PA'");
        open.page.ok();
        QVERIFY(open.window->isVisible());
        QVERIFY(!open.accepted());
        QVERIFY(!QDir(open.folder() + "Main Line").exists());
        QVERIFY(!QDir(open.folder() + "INITIAL/nested").exists());
        QCOMPARE(open.fixture.settingsBytes(), std::string());
        QCOMPARE(
            open.fixture.messageTexts(),
            QStringList({"Delete workspace Empty?", "Delete workspace Empty?",
                         "Delete workspace Agency?\r\nThere are searches in this workspace!",
                         "WorkspaceNowheredoes not exist!", "Could not remove workspace!",
                         "Create new workspace called Main Line?",
                         "Create new workspace called INITIAL/nested?", createFailed, createFailed,
                         "Backup Data Set Not For Version 1.6, Run UPGRADE.EXE from "
                         "Install CD"}));

        open.page.typeWorkspace("Main Line");
        open.page.chooseState("NJ");
        open.fixture.queueAnswer(QMessageBox::Yes);
        open.page.ok();
        QVERIFY(QDir(open.folder() + "Main Line").exists());
        QVERIFY(open.accepted());
        QCOMPARE(open.fixture.settingsBytes(), std::string("\"Main Line\",\"NJ\"\r\n"));
    }

    // Also without a temporary folder to keep the choice in.
    void restoresNotesLeftByAnUpgrade()
    {
        OpenWorkspaces open;
        setenv("TMPDIR", (open.fixture.temporaryFolder() + "gone").c_str(), 1);
        const std::string folder = open.fixture.programFolder();
        Database db(folder + "KORAPA.MDB", Installation(folder).stateConnect("PA"));
        db.execute("INSERT INTO PRIME (FILE, SEQUENCE, NAME1) VALUES ('1000001', '01', 'A')");
        db.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1000001', '01', ' ')");
        Database(folder + "BACKUPPA.MDB", "")
            .execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1000001', '01', 'saved')");
        std::ofstream(folder + "RESTPA.DAT") << " \r\n";
        open.page.ok();
        QVERIFY(open.accepted());
        QVERIFY(!QFile::exists(QString::fromStdString(folder + "RESTPA.DAT")));
        QCOMPARE(open.fixture.messages().size(), 1);
        QCOMPARE(open.fixture.messages().last().text,
                 QString::fromStdString("1 User Notes and 0 Fields Restored From " + folder +
                                        "BACKUPPA.MDB"));
        QCOMPARE(value(open.fixture, "SELECT NOTES FROM NOTES"), std::string("saved"));
    }

    void aFailureEscapingACommandIsReportedAndTheProgramGoesOn()
    {
        WindowFixture fixture;
        QPushButton button(QStringLiteral("Run"));
        connect(&button, &QPushButton::clicked,
                [] { throw std::runtime_error("the state database is locked"); });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(fixture.messages().size(), 2);
        QCOMPARE(fixture.messages()[1].text,
                 QString("The command could not be completed: the state database is locked"));
        QCOMPARE(fixture.messages()[1].icon, QMessageBox::Critical);
    }

    // A state on a server of another layout is refused by name; a cut of the
    // list's connections is told once and the workspace window comes back,
    // where the state opens anew.
    void aLostServerBringsTheWorkspaceWindowBackWhereTheStateOpensAgain()
    {
        if (const std::string why = TestServer::unavailable(); !why.empty()) {
            if (TestServer::required())
                QFAIL(why.c_str());
            QSKIP(why.c_str());
        }
        WindowFixture fixture;
        TestServer server;
        const std::string text = server.connect().substr(3);
        StatePublication(fixture.programFolder(), "PA").toServer(text);
        Database other(fixture.programFolder() + "KORAPA.MDB", server.connect());
        other.execute("INSERT INTO PRIME (FILE, SEQUENCE, NAME1) VALUES ('1000001', '01', 'A')");
        other.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1000001', '01', ' ')");
        other.execute("UPDATE kora_meta SET version = 2");
        fixture.onModal<KRWSPACE>([&other](KRWSPACE* window) {
            W{window}.ok();
            other.execute("UPDATE kora_meta SET version = 1");
            if (window->isVisible())
                W{window}.ok();
        });
        MASTER master;
        QVERIFY(master.start());
        QPointer<KRLIST> cut = master.resultList();
        other.execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                      "application_name = 'kora' AND datname = current_database() AND pid <> "
                      "pg_backend_pid()");
        const QHeaderView* header = named<QTableView>(cut, "TDBGrid1")->horizontalHeader();
        // A second command finds the same loss before the list has gone.
        for (int click = 0; click < 2; ++click)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(!cut && master.resultList());
        QCOMPARE(named<QLineEdit>(master.resultList(), "VIEWCOUNT")->text(), QString("1"));
        const QStringList messages = fixture.messageTexts();
        QCOMPARE(messages.size(), 2);
        QVERIFY2(messages[0].startsWith(
                     QString::fromStdString("The state database " + fixture.programFolder() +
                                            "KORAPA.MDB could not be opened: The server (" + text +
                                            ") holds the state "
                                            "PA (schema kora_pa) in layout version 2")),
                 qPrintable(messages[0]));
        QVERIFY2(messages[1].startsWith(QString::fromStdString(
                     "The command could not be completed: The connection to the server (" + text +
                     ") was lost: ")),
                 qPrintable(messages[1]));
    }

    // A program folder without data offers the demo data or a delivery's
    // update files; once either is there, the offer is gone, also from the
    // next workspace window.
    void anEmptyProgramFolderOffersTheDemoDataOrUpdateFiles()
    {
        OpenWorkspaces delivered;
        const auto offered = [](const OpenWorkspaces& open) {
            return open.window->findChild<QFrame*>("firstRun")->isVisible();
        };
        QVERIFY(offered(delivered));
        TempFolder delivery;
        writeFile(delivery.path() + "DATAPA.DAT", "delivered companies\r\n");
        writeFile(delivery.path() + "README.TXT", "not an update\r\n");
        bool several = false;
        Dialogs::setFileScript([&delivery, &several](const Dialogs::FileRequest& request) {
            several = request.multiSelect;
            return Dialogs::FileAnswer{true,
                                       {QString::fromStdString(delivery.path() + "DATAPA.DAT"),
                                        QString::fromStdString(delivery.path() + "README.TXT")}};
        });
        press(delivered.window.get(), QString::fromUtf8("Choose update files\u2026"));
        QVERIFY(several);
        const std::string program = delivered.fixture.programFolder();
        QCOMPARE(fileBytes(program + "DATAPA.DAT"), std::string("delivered companies\r\n"));
        QVERIFY(!std::filesystem::exists(program + "README.TXT"));
        QVERIFY(!offered(delivered));
        QCOMPARE(delivered.fixture.messageTexts(),
                 QStringList({"These are no update files and were left alone:\r\nREADME.TXT",
                              "The update files are in the program folder. Choose their state "
                              "and press OK to load them."}));

        OpenWorkspaces demo;
        QVERIFY(offered(demo));
        press(demo.window.get(), "Lay out demo data");
        QVERIFY(!offered(demo));
        QCOMPARE(value(demo.fixture, "SELECT COUNT(*) FROM PRIME"), std::string("2000"));
        QVERIFY(!QDir(demo.folder() + "INITIAL").entryList({"*.KRD"}).isEmpty());
        QVERIFY(demo.fixture.messages().isEmpty());
        KRWSPACE again(demo.master);
        again.show();
        QVERIFY(!again.findChild<QFrame*>("firstRun")->isVisible());
    }
};

// The application object reports failures that escape a command.
int main(int argc, char** argv)
{
    KoraApplication app(argc, argv);
    MASTERTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MASTERTest.moc"
