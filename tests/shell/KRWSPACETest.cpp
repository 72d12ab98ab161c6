#include "shell/KRWSPACE.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "shell/MASTER.h"
#include "shell/WorkspaceWindow.h"

#include <QDir>
#include <QtTest>

#include <fstream>

using namespace kora;
using namespace kora::test;

class KRWSPACETest : public QObject
{
    Q_OBJECT

private:
    // The workspace window open in a program folder with the workspaces
    // Agency (holding a lookup) and Empty, whose settings file holds
    // `settings` (none when empty).
    struct Open
    {
        WindowFixture fixture;
        MASTER master;
        std::unique_ptr<KRWSPACE> window;
        WorkspaceWindow page{nullptr};

        explicit Open(const std::string& settings = {})
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
    void listsWorkspacesAndStatesAndAcceptsTheChosenOnes()
    {
        Open agency("\"Agency\",\"NY\"\r\n");
        QCOMPARE(agency.window->workspace() + agency.window->state(), QString("AgencyNY"));
        Open gone("\"Gone\",\"XX\"\r\n");
        QCOMPARE(gone.window->workspace() + gone.window->state(), QString("INITIALPA"));
        Open open;
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

    // Each refusal keeps the window open with nothing accepted or saved,
    // until a new workspace is confirmed.
    void refusesUntilANewWorkspaceIsConfirmedAndSaved()
    {
        Open open;
        const QString createFailed = "Could not create workspace or save settings!";
        open.page.typeWorkspace("Main Line");
        open.fixture.queueAnswer(QMessageBox::No);
        open.page.ok();
        QCOMPARE(open.fixture.messages().first().defaultButton, QMessageBox::No);

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
            QStringList({"Create new workspace called Main Line?",
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

    void deletesWorkspacesWithAndWithoutLookups()
    {
        Open open;
        open.page.typeWorkspace("Empty");
        open.fixture.queueAnswer(QMessageBox::No);
        open.page.remove();
        QVERIFY(QDir(open.folder() + "Empty").exists());
        open.fixture.queueAnswer(QMessageBox::Yes);
        open.page.remove();
        QVERIFY(!QDir(open.folder() + "Empty").exists());
        QVERIFY(!open.page.workspaces().contains("Empty"));

        open.page.typeWorkspace("Agency");
        open.fixture.queueAnswer(QMessageBox::Yes);
        open.page.remove();
        QVERIFY(!QDir(open.folder() + "Agency").exists());
        open.page.typeWorkspace("Nowhere");
        open.page.remove();
        open.page.typeWorkspace("");
        open.page.remove();
        QCOMPARE(open.fixture.messageTexts(),
                 QStringList({"Delete workspace Empty?", "Delete workspace Empty?",
                              "Delete workspace Agency?\r\nThere are searches in this workspace!",
                              "WorkspaceNowheredoes not exist!", "Could not remove workspace!"}));
    }

    // Also without a temporary folder to keep the choice in.
    void restoresNotesLeftByAnUpgrade()
    {
        Open open;
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
        Statement note = db.prepare("SELECT NOTES FROM NOTES");
        QVERIFY(note.step());
        QCOMPARE(note.column(0).toString(), std::string("saved"));
    }
};

QTEST_MAIN(KRWSPACETest)
#include "KRWSPACETest.moc"
