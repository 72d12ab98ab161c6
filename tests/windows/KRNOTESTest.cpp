#include "windows/KRNOTES.h"

#include "database/Database.h"
#include "database/Installation.h"
#include "shell/MASTER.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include <filesystem>

using namespace kora;
using namespace kora::test;

namespace {

QByteArray bytesOf(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// The program folder with the PA state chosen and two companies in its
// database, the backup window over it, and folder choosers answered by
// script: each answer is the next queued folder, or a cancel when none is left.
class NotesFixture : public WindowFixture
{
public:
    NotesFixture()
    {
        m_master.fixProgramValues();
        m_master.values().state = "PA";
        m_master.values().stateConnect = Installation(programFolder()).stateConnect("PA");
        m_db.open(m_master.values().stateDatabasePath(), m_master.values().stateConnect);
        for (const char* file : {"100001", "100002"}) {
            m_db.prepare("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, User1, User2, User3, "
                         "Omit) VALUES (?, '00', ?, 'Acme', ' ', ' ', ' ', ' ')")
                .bindAll({Value(file), Value(std::string(file) + "00")})
                .run();
            m_db.prepare("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES (?, '00', ' ')")
                .bindAll({Value(file)})
                .run();
        }
        Dialogs::setFileScript([this](const Dialogs::FileRequest& request) {
            requests.append(request);
            Dialogs::FileAnswer answer;
            if (!folders.isEmpty()) {
                answer.accepted = true;
                answer.files = {folders.takeFirst()};
            }
            return answer;
        });
    }
    ~NotesFixture() { Dialogs::setFileScript({}); }

    MASTER& master() { return m_master; }
    std::string localBackup() const { return programFolder() + "BACKUPPA.MDB"; }

    // Sets or reads a column (NOTES.NOTES or PRIME.User1) of one company.
    void set(const char* table, const char* column, const char* file, const std::string& value)
    {
        m_db.prepare(std::string("UPDATE ") + table + " SET " + column + " = ? WHERE FILE = ?")
            .bindAll({Value(value), Value(file)})
            .run();
    }
    Value get(const char* table, const char* column, const char* file)
    {
        Statement query =
            m_db.prepare(std::string("SELECT ") + column + " FROM " + table + " WHERE FILE = ?");
        query.bindAll({Value(file)});
        return query.step() ? query.column(0) : Value("(no row)");
    }
    void setNote(const char* file, const std::string& note) { set("NOTES", "NOTES", file, note); }
    Value note(const char* file) { return get("NOTES", "NOTES", file); }

    QStringList folders;
    QList<Dialogs::FileRequest> requests;

private:
    MASTER m_master;
    Database m_db;
};

// Drives the backup window as a user would.
struct BackupWindow
{
    explicit BackupWindow(KRNOTES& shown) : window(shown) { window.show(); }

    template <typename T> T* child(const QString& name) const
    {
        T* found = window.findChild<T*>(name);
        if (!found)
            qFatal("the backup window has no %s", qPrintable(name));
        return found;
    }
    QCheckBox* otherFolder() const { return child<QCheckBox>("Check1"); }
    QString folderCaption() const { return child<QLabel>("Label1")->text(); }
    bool folderShown() const
    {
        return child<QLabel>("Label1")->isVisible() && child<QLineEdit>("Dir1")->isVisible();
    }
    QString folder() const { return child<QLineEdit>("Dir1")->text() + '/'; }
    void choose(int option) const
    {
        child<QRadioButton>(QStringLiteral("Option%1").arg(option))->click();
    }
    void tick() const { otherFolder()->click(); }
    void ok() const { child<QPushButton>("OK")->click(); }

    KRNOTES& window;
};

} // namespace

class KRNOTESTest : public QObject
{
    Q_OBJECT

private slots:
    void eachOptionNamesItsFolderAndItsFile_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("checkCaption");
        QTest::addColumn<QString>("folderCaption");
        QTest::addColumn<QString>("okMessage"); // %1: the folder chosen
        const QString notFound = "%1/BACKUPPA.MDB file was not found.  Please select the correct "
                                 "path and try again.";
        QTest::newRow("backup") << 1 << "Copy Backup File To Another Drive or Directory"
                                << "Copy To:"
                                << "Backup User Data and Notes to %1/BACKUPPA.MDB?";
        QTest::newRow("restore") << 2 << "Restore Backup File From Another Drive or Directory"
                                 << "Restore From:" << notFound;
        QTest::newRow("merge") << 3 << "Merge Backup File From Another Drive or Directory"
                               << "Merge From:" << notFound;
    }
    void eachOptionNamesItsFolderAndItsFile()
    {
        QFETCH(int, option);
        QFETCH(QString, checkCaption);
        QFETCH(QString, folderCaption);
        QFETCH(QString, okMessage);
        NotesFixture fixture;
        KRNOTES shown(fixture.master());
        const BackupWindow window(shown);
        // Another option first, so that the click on this one is a change.
        window.choose(option == 1 ? 2 : 1);
        window.choose(option);
        QCOMPARE(window.otherFolder()->text(), checkCaption);
        QCOMPARE(window.folderCaption(), folderCaption);
        QVERIFY(!window.folderShown());

        // Ticked: the chooser asks under the caption, and the folder shows under the label.
        const QString folder =
            QDir(QString::fromStdString(fixture.temporaryFolder())).absolutePath();
        fixture.folders << folder;
        window.tick();
        QVERIFY(window.folderShown());
        QCOMPARE(window.folder(), folder + '/');
        QCOMPARE(fixture.requests.last().title, checkCaption);
        fixture.queueAnswer(QMessageBox::No);
        window.ok();
        QCOMPARE(fixture.messageTexts(), QStringList({okMessage.arg(folder)}));
        QVERIFY(shown.isVisible());
        window.tick();
        QVERIFY(!window.folderShown());
    }

    void theFolderChooserComesOnlyWithATick()
    {
        NotesFixture fixture;
        KRNOTES shown(fixture.master());
        const BackupWindow window(shown);
        // OK without the tick: the backup goes to the program folder, no chooser.
        fixture.queueAnswer(QMessageBox::No);
        window.ok();
        QVERIFY(fixture.requests.isEmpty());
        QCOMPARE(fixture.messageTexts(),
                 QStringList({QString::fromStdString("Backup User Data and Notes to " +
                                                     fixture.localBackup() + "?")}));
        QCOMPARE(fixture.messages().first().title, QString("Backup User Notes & Data"));
        QVERIFY(shown.isVisible());

        // Ticked, then the chooser left without a folder: the tick goes again.
        window.tick();
        QCOMPARE(fixture.requests.size(), 1);
        QVERIFY(!window.otherFolder()->isChecked());
        QVERIFY(!window.folderShown());

        // A folder that cannot be read is refused by name.
        const QString missing = QString::fromStdString(fixture.temporaryFolder()) + "gone";
        fixture.folders << missing;
        window.tick();
        QCOMPARE(fixture.messageTexts().last(), "Error Reading Drive " + missing);
        QVERIFY(!window.otherFolder()->isChecked());

        // A folder chosen, then untick and tick again: the chooser starts there.
        fixture.folders << QString::fromStdString(fixture.temporaryFolder());
        window.tick();
        QVERIFY(window.otherFolder()->isChecked());
        window.tick();
        window.tick();
        QCOMPARE(fixture.requests.size(), 4);
        QCOMPARE(fixture.requests.last().directory + '/',
                 QString::fromStdString(fixture.temporaryFolder()));
        // Left this time, the folder chosen before stays.
        QVERIFY(window.otherFolder()->isChecked());
        QCOMPARE(shown.folder() + '/', QString::fromStdString(fixture.temporaryFolder()));
    }

    void aBackupIsCopiedToTheChosenFolderOrTheFailureSaid()
    {
        NotesFixture fixture;
        fixture.setNote("100001", "Call in May");
        const std::string other = fixture.temporaryFolder() + "diskette";
        std::filesystem::create_directory(other);
        const std::string chosen = other + "/BACKUPPA.MDB";
        {
            KRNOTES shown(fixture.master());
            const BackupWindow window(shown);
            fixture.folders << QString::fromStdString(other);
            window.tick();
            fixture.queueAnswer(QMessageBox::Yes);
            window.ok();
            QVERIFY(!shown.isVisible());
        }
        QCOMPARE(
            fixture.messageTexts(),
            QStringList({QString::fromStdString("Backup User Data and Notes to " + chosen + "?"),
                         QString::fromStdString("1 User Notes and 0 Fields Saved to " +
                                                fixture.localBackup()),
                         QString::fromStdString("Backup copied to " + chosen)}));
        QCOMPARE(fixture.messages()[1].title, QString("Backup Complete"));
        QCOMPARE(bytesOf(chosen), bytesOf(fixture.localBackup()));

        // The folder went away after it was chosen: the local backup is made, the copy fails.
        KRNOTES shown(fixture.master());
        const BackupWindow window(shown);
        const std::string removed = fixture.temporaryFolder() + "ejected";
        std::filesystem::create_directory(removed);
        fixture.folders << QString::fromStdString(removed);
        window.tick();
        std::filesystem::remove(removed);
        fixture.setNote("100002", "Second note");
        fixture.queueAnswer(QMessageBox::Yes);
        window.ok();
        QCOMPARE(fixture.messageTexts().mid(3),
                 QStringList({QString::fromStdString("Backup User Data and Notes to " + removed +
                                                     "/BACKUPPA.MDB?"),
                              QString::fromStdString("2 User Notes and 0 Fields Saved to " +
                                                     fixture.localBackup()),
                              "Error copying file!  Make sure path is correct!"}));
        QVERIFY(!std::filesystem::exists(removed));
        QVERIFY(shown.isVisible());
    }

    void notesAndFieldsComeBackFromTheOtherFolder()
    {
        NotesFixture fixture;
        fixture.setNote("100001", "Renewal in March");
        fixture.set("PRIME", "User1", "100002", "Key account");
        const std::string other = fixture.temporaryFolder() + "diskette";
        std::filesystem::create_directory(other);
        const std::string chosen = other + "/BACKUPPA.MDB";
        {
            KRNOTES shown(fixture.master());
            fixture.folders << QString::fromStdString(other);
            BackupWindow(shown).tick();
            fixture.queueAnswer(QMessageBox::Yes);
            shown.ok();
        }
        // Typed over since, and the local backup lost.
        fixture.setNote("100001", "typed later");
        fixture.set("PRIME", "User1", "100002", " ");
        std::filesystem::remove(fixture.localBackup());

        KRNOTES restoring(fixture.master());
        const BackupWindow window(restoring);
        QSignalSpy restored(&restoring, &KRNOTES::userDataRestored);
        window.choose(2);
        fixture.folders << QString::fromStdString(other);
        window.tick();
        const qsizetype before = fixture.messages().size();
        fixture.queueAnswer(QMessageBox::Yes);
        window.ok();
        QCOMPARE(fixture.messageTexts().mid(before),
                 QStringList(
                     {QString::fromStdString("Restore User Data and Notes from " + chosen + "?"),
                      QString::fromStdString("1 User Notes and 1 Fields Restored From " + chosen),
                      "User Notes and Fields Restored!"}));
        QCOMPARE(fixture.messages()[before].title, QString("Restore User Notes & Data"));
        QCOMPARE(fixture.messages().last().title, QString("Restore Complete"));
        QCOMPARE(fixture.note("100001"), Value("Renewal in March"));
        QCOMPARE(fixture.get("PRIME", "User1", "100002"), Value("Key account"));
        QCOMPARE(restored.count(), 1);
        QVERIFY(!restoring.isVisible());
        QVERIFY(!std::filesystem::exists(fixture.localBackup()));

        // A merge keeps the current note first; No changes nothing.
        fixture.setNote("100001", "typed later");
        KRNOTES merging(fixture.master());
        const BackupWindow mergeWindow(merging);
        QSignalSpy merged(&merging, &KRNOTES::userDataRestored);
        mergeWindow.choose(3);
        fixture.folders << QString::fromStdString(other);
        mergeWindow.tick();
        fixture.queueAnswer(QMessageBox::No);
        mergeWindow.ok();
        QCOMPARE(fixture.note("100001"), Value("typed later"));
        QVERIFY(merging.isVisible());
        fixture.queueAnswer(QMessageBox::Yes);
        mergeWindow.ok();
        QCOMPARE(fixture.messageTexts().last(), QString("User Notes and Fields Merged!"));
        QCOMPARE(fixture.messages().last().title, QString("Merge Complete"));
        QCOMPARE(fixture.note("100001"), Value("typed later\r\nRenewal in March"));
        QCOMPARE(merged.count(), 1);
    }
};

QTEST_MAIN(KRNOTESTest)
#include "KRNOTESTest.moc"
