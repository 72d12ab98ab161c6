#include "shell/KRWSPACE.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "shell/MASTER.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <fstream>
#include <sstream>

using namespace kora;
using namespace kora::test;

class KRWSPACETest : public QObject
{
    Q_OBJECT

private:
    struct Open
    {
        WindowFixture fixture;
        MASTER master;
        std::unique_ptr<KRWSPACE> window;

        Open()
        {
            master.fixProgramValues();
            window = std::make_unique<KRWSPACE>(master);
            window->show();
        }
        QComboBox* workspace() { return window->findChild<QComboBox*>("WORKSPACE"); }
        QComboBox* state() { return window->findChild<QComboBox*>("STATE"); }
        void press(const char* name) { window->findChild<QPushButton*>(name)->click(); }
        bool folderExists(const QString& name)
        {
            return QDir(QString::fromStdString(fixture.programFolder()) + name).exists();
        }
    };

private slots:
    void listsWorkspacesAndStates()
    {
        Open open;
        QCOMPARE(open.window->windowTitle(), QString("KORA"));
        QCOMPARE(open.state()->count(), 6);
        QStringList states;
        for (int i = 0; i < open.state()->count(); ++i)
            states << open.state()->itemText(i);
        QCOMPARE(states, QStringList({"DE", "NJ", "NY", "PA", "PM", "DM"}));
        QCOMPARE(open.state()->currentText(), QString("PA"));
        QCOMPARE(open.workspace()->currentText(), QString("INITIAL"));
        QVERIFY(open.workspace()->findText("INITIAL") >= 0);
        QStringList captions;
        for (const QPushButton* button : open.window->findChildren<QPushButton*>())
            captions << button->text();
        QCOMPARE(captions, QStringList({"OK", "Delete", "Help", "E&xit"}));
        QStringList labels;
        for (const QLabel* label : open.window->findChildren<QLabel*>())
            labels << label->text();
        QCOMPARE(labels, QStringList({"Workspace", "State"}));
    }

    void acceptsAnExistingWorkspaceAndState()
    {
        Open open;
        open.press("OK");
        QCOMPARE(open.window->result(), int(QDialog::Accepted));
        QVERIFY(open.master.values().selectionAccepted);
        QCOMPARE(open.master.values().state, std::string("PA"));
        QCOMPARE(open.master.values().stateConnect,
                 Installation(open.fixture.programFolder()).stateConnect("PA"));
        QCOMPARE(open.fixture.settingsBytes(), std::string("\"INITIAL\",\"PA\"\r\n"));
        QVERIFY(open.fixture.messages().isEmpty());
    }

    void newWorkspaceNeedsAYes()
    {
        Open open;
        open.workspace()->setEditText("Main Line");
        open.fixture.queueAnswer(QMessageBox::No);
        open.press("OK");
        QVERIFY(open.window->isVisible());
        QVERIFY(!open.master.values().selectionAccepted);
        QVERIFY(!open.folderExists("Main Line"));
        QCOMPARE(open.fixture.settingsBytes(), std::string());
        QCOMPARE(open.fixture.messages().size(), 1);
        const auto question = open.fixture.messages().first();
        QCOMPARE(question.text, QString("Create new workspace called Main Line?"));
        QCOMPARE(question.title, QString("Select Workspace"));
        QCOMPARE(question.defaultButton, QMessageBox::No);
        QCOMPARE(question.icon, QMessageBox::Warning);

        open.fixture.queueAnswer(QMessageBox::Yes);
        open.state()->setCurrentText("NJ");
        open.press("OK");
        QVERIFY(open.folderExists("Main Line"));
        QVERIFY(open.master.values().selectionAccepted);
        QCOMPARE(open.fixture.settingsBytes(), std::string("\"Main Line\",\"NJ\"\r\n"));
    }

    void refusesAWorkspaceNameThatIsAPath()
    {
        Open open;
        open.workspace()->setEditText("../outside");
        open.fixture.queueAnswer(QMessageBox::Yes);
        open.press("OK");
        QVERIFY(!open.master.values().selectionAccepted);
        QCOMPARE(open.fixture.messageTexts().last(),
                 QString("Could not create workspace or save settings!"));
        QVERIFY(
            !QDir(QString::fromStdString(open.fixture.programFolder()) + "../outside").exists());
    }

    void deletesWorkspacesWithAndWithoutLookups()
    {
        WindowFixture fixture;
        const QString program = QString::fromStdString(fixture.programFolder());
        QDir(program).mkdir("Old");
        QDir(program).mkdir("Empty");
        QFile lookup(program + "Old/SEARCH1.KRD");
        QVERIFY(lookup.open(QIODevice::WriteOnly));
        lookup.write("\"Title\"\r\n");
        lookup.close();

        MASTER master;
        master.fixProgramValues();
        KRWSPACE window(master);
        window.show();
        auto* workspace = window.findChild<QComboBox*>("WORKSPACE");
        auto* remove = window.findChild<QPushButton*>("DELETE");

        workspace->setEditText("Empty");
        fixture.queueAnswer(QMessageBox::No);
        remove->click();
        QVERIFY(QDir(program + "Empty").exists());
        QCOMPARE(fixture.messages().last().text, QString("Delete workspace Empty?"));
        QCOMPARE(fixture.messages().last().title, QString("Select Workspace"));

        fixture.queueAnswer(QMessageBox::Yes);
        remove->click();
        QVERIFY(!QDir(program + "Empty").exists());
        QCOMPARE(workspace->findText("Empty"), -1);

        workspace->setEditText("Old");
        fixture.queueAnswer(QMessageBox::Yes);
        remove->click();
        QCOMPARE(fixture.messages().last().text,
                 QString("Delete workspace Old?\r\nThere are searches in this workspace!"));
        QVERIFY(!QDir(program + "Old").exists());

        workspace->setEditText("Nowhere");
        remove->click();
        QCOMPARE(fixture.messages().last().text, QString("WorkspaceNowheredoes not exist!"));

        workspace->setEditText("");
        remove->click();
        QCOMPARE(fixture.messages().last().text, QString("Could not remove workspace!"));
    }

    void refusesAStateDatabaseWithAnotherPassword()
    {
        WindowFixture fixture;
        {
            Database setup(fixture.programFolder() + "KORAI.MDB", ";PWD=TRZN382pbk");
            setup.execute("UPDATE Setup SET pwd = ';PWD=not-the-one' WHERE State = 'PA'");
        }
        MASTER master;
        master.fixProgramValues();
        KRWSPACE window(master);
        window.show();
        window.findChild<QPushButton*>("OK")->click();
        QVERIFY(window.isVisible());
        QVERIFY(!master.values().selectionAccepted);
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"Backup Data Set Not For Version 1.6, Run UPGRADE.EXE from "
                              "Install CD"}));
        QCOMPARE(fixture.settingsBytes(), std::string());
    }

    void settingsChooseTheLastWorkspaceUnlessItIsGone()
    {
        WindowFixture fixture;
        const QString program = QString::fromStdString(fixture.programFolder());
        QDir(program).mkdir("Agency");
        MASTER master;
        master.fixProgramValues();
        {
            std::ofstream(fixture.temporaryFolder() + "KORA.INI", std::ios::binary)
                << "\"Agency\",\"NY\"\r\n";
            KRWSPACE window(master);
            window.show();
            QCOMPARE(window.workspace(), QString("Agency"));
            QCOMPARE(window.state(), QString("NY"));
        }
        {
            std::ofstream(fixture.temporaryFolder() + "KORA.INI", std::ios::binary)
                << "\"Gone\",\"XX\"\r\n";
            KRWSPACE window(master);
            window.show();
            QCOMPARE(window.workspace(), QString("INITIAL"));
            QCOMPARE(window.state(), QString("PA"));
        }
    }

    void acceptsWithoutATemporaryFolder()
    {
        Open open;
        const std::string missing = open.fixture.temporaryFolder() + "gone";
        setenv("TMPDIR", missing.c_str(), 1);
        open.press("OK");
        QVERIFY(open.master.values().selectionAccepted);
        QVERIFY(open.fixture.messages().isEmpty());
    }

    void reportsASettingsFileThatCannotBeWritten()
    {
        Open open;
        QVERIFY(QDir().mkpath(QString::fromStdString(open.fixture.temporaryFolder()) +
                              "KORA.INI/taken"));
        open.press("OK");
        QVERIFY(!open.master.values().selectionAccepted);
        QVERIFY(open.window->isVisible());
        QCOMPARE(open.fixture.messageTexts(),
                 QStringList({"Could not create workspace or save settings!"}));
    }

    void createsABackupDatabaseWhenMissing()
    {
        Open open;
        QFile::remove(QString::fromStdString(open.fixture.programFolder()) + "BACKUPPA.MDB");
        open.press("OK");
        QVERIFY(open.master.values().selectionAccepted);
        Database backup(open.fixture.programFolder() + "BACKUPPA.MDB", "");
        QVERIFY(backup.tableExists("USER"));
    }
    void restoresNotesLeftByAnUpgradeAndKeepsTheMarkerWhenItFails()
    {
        Open open;
        const std::string folder = open.fixture.programFolder();
        const std::string connect = Installation(folder).stateConnect("PA");
        {
            Database db(folder + "KORAPA.MDB", connect);
            db.execute("INSERT INTO PRIME (FILE, SEQUENCE, NAME1) VALUES ('1000001', '01', 'A')");
            db.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1000001', '01', ' ')");
        }
        {
            Database backup(folder + "BACKUPPA.MDB", "");
            backup.execute("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES ('1000001', '01', "
                           "'saved before the upgrade')");
        }
        const std::string marker = folder + "RESTPA.DAT";
        std::ostringstream saved;
        saved << std::ifstream(folder + "BACKUPPA.MDB", std::ios::binary).rdbuf();
        std::ofstream(marker) << " \r\n";
        std::ofstream(folder + "BACKUPPA.MDB", std::ios::trunc) << "damaged";

        open.press("OK");
        QVERIFY(QFile::exists(QString::fromStdString(marker)));
        QCOMPARE(open.fixture.messages().size(), 1);
        QVERIFY(open.fixture.messages()[0].text.contains("could not be restored"));
        QVERIFY(open.fixture.messages()[0].text.contains("the next time PA is chosen"));

        std::ofstream(folder + "BACKUPPA.MDB", std::ios::binary | std::ios::trunc) << saved.str();
        open.window = std::make_unique<KRWSPACE>(open.master);
        open.window->show();
        open.press("OK");
        QVERIFY(!QFile::exists(QString::fromStdString(marker)));
        QCOMPARE(open.fixture.messages().last().text,
                 QString::fromStdString("1 User Notes and 0 Fields Restored From " + folder +
                                        "BACKUPPA.MDB"));
        QCOMPARE(open.fixture.messages().last().title, QString("Restore Complete"));
        Database db(folder + "KORAPA.MDB", connect);
        Statement note = db.prepare("SELECT NOTES FROM NOTES WHERE FILE = '1000001'");
        QVERIFY(note.step());
        QCOMPARE(note.column(0).toString(), std::string("saved before the upgrade"));
    }
};

QTEST_MAIN(KRWSPACETest)
#include "KRWSPACETest.moc"
