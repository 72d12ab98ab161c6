#include "windows/KRNOTES.h"

#include "ResultsFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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

// Two Pennsylvania companies with blank notes and user fields, and folder
// choosers answered by script: each answer is the next queued folder, or a
// cancel when none is left.
class NotesFixture : public ResultsFixture
{
public:
    NotesFixture() : ResultsFixture("PA")
    {
        for (const char* file : {"100001", "100002"})
            addCompany(
                file, "00",
                {{"NAME1", "Acme"}, {"User1", " "}, {"User2", " "}, {"User3", " "}, {"Omit", " "}});
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

    std::string localBackup() const { return programFolder() + "BACKUPPA.MDB"; }
    void set(const char* table, const char* column, const char* file, const std::string& value)
    {
        db().prepare(std::string("UPDATE ") + table + " SET " + column + " = ? WHERE FILE = ?")
            .bindAll({value, file})
            .run();
    }
    void setNote(const char* file, const std::string& note) { set("NOTES", "NOTES", file, note); }

    QStringList folders;
    QList<Dialogs::FileRequest> requests;
};

// Drives the backup window as a user would.
struct BackupWindow
{
    explicit BackupWindow(KRNOTES& shown) : window(shown) { window.show(); }

    QCheckBox* otherFolder() const { return window.findChild<QCheckBox*>("Check1"); }
    QLabel* folderLabel() const { return window.findChild<QLabel*>("Label1"); }
    bool folderShown() const
    {
        return folderLabel()->isVisible() && window.findChild<QLineEdit*>("Dir1")->isVisible();
    }
    void choose(int option) const
    {
        window.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(option))->click();
    }
    void tick() const { otherFolder()->click(); }
    void ok() const { window.findChild<QPushButton*>("OK")->click(); }

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
        window.choose(option == 1 ? 2 : 1);
        window.choose(option);
        QCOMPARE(window.otherFolder()->text(), checkCaption);
        QCOMPARE(window.folderLabel()->text(), folderCaption);
        QVERIFY(!window.folderShown());
        const QString folder =
            QDir(QString::fromStdString(fixture.temporaryFolder())).absolutePath();
        fixture.folders << folder;
        window.tick();
        QVERIFY(window.folderShown());
        QCOMPARE(shown.folder(), folder);
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

    void aBackupGoesToTheOtherFolderAndComesBackByRestoreOrMerge()
    {
        NotesFixture fixture;
        fixture.setNote("100001", "Renewal in March");
        fixture.set("PRIME", "User1", "100002", "Key account");
        const std::string other = fixture.temporaryFolder() + "diskette";
        std::filesystem::create_directory(other);
        const std::string chosen = other + "/BACKUPPA.MDB";
        int restoredSignals = 0;
        const auto run = [&](int option, QMessageBox::StandardButton answer) {
            auto shown = std::make_unique<KRNOTES>(fixture.master());
            QObject::connect(shown.get(), &KRNOTES::userDataRestored,
                             [&restoredSignals] { ++restoredSignals; });
            const BackupWindow window(*shown);
            window.choose(option);
            fixture.folders << QString::fromStdString(other);
            window.tick();
            fixture.queueAnswer(answer);
            window.ok();
            return shown;
        };
        QVERIFY(!run(1, QMessageBox::Yes)->isVisible());
        QCOMPARE(
            fixture.messageTexts(),
            QStringList({QString::fromStdString("Backup User Data and Notes to " + chosen + "?"),
                         QString::fromStdString("1 User Notes and 1 Fields Saved to " +
                                                fixture.localBackup()),
                         QString::fromStdString("Backup copied to " + chosen)}));
        QCOMPARE(fixture.messages()[1].title, QString("Backup Complete"));
        QCOMPARE(bytesOf(chosen), bytesOf(fixture.localBackup()));

        // Typed over since, and the local backup lost.
        fixture.setNote("100001", "typed later");
        fixture.set("PRIME", "User1", "100002", " ");
        std::filesystem::remove(fixture.localBackup());
        qsizetype before = fixture.messages().size();
        QVERIFY(!run(2, QMessageBox::Yes)->isVisible());
        QCOMPARE(restoredSignals, 1);
        QCOMPARE(fixture.messageTexts().mid(before),
                 QStringList(
                     {QString::fromStdString("Restore User Data and Notes from " + chosen + "?"),
                      QString::fromStdString("1 User Notes and 1 Fields Restored From " + chosen),
                      "User Notes and Fields Restored!"}));
        QCOMPARE(fixture.messages()[before].title, QString("Restore User Notes & Data"));
        QCOMPARE(fixture.messages().last().title, QString("Restore Complete"));
        QCOMPARE(fixture.note("100001", "00"), Value("Renewal in March"));
        QCOMPARE(fixture.field("100002", "00", "User1"), Value("Key account"));
        QVERIFY(!std::filesystem::exists(fixture.localBackup()));

        // A merge keeps the current note first; No changes nothing.
        fixture.setNote("100001", "typed later");
        QVERIFY(run(3, QMessageBox::No)->isVisible());
        QCOMPARE(fixture.note("100001", "00"), Value("typed later"));
        QCOMPARE(restoredSignals, 1);
        QVERIFY(!run(3, QMessageBox::Yes)->isVisible());
        QCOMPARE(fixture.messageTexts().last(), QString("User Notes and Fields Merged!"));
        QCOMPARE(fixture.messages().last().title, QString("Merge Complete"));
        QCOMPARE(fixture.note("100001", "00"), Value("typed later\r\nRenewal in March"));
        QCOMPARE(restoredSignals, 2);

        // The folder went away after it was chosen: the local backup is made, the copy fails.
        KRNOTES shown(fixture.master());
        const BackupWindow window(shown);
        const std::string removed = fixture.temporaryFolder() + "ejected";
        std::filesystem::create_directory(removed);
        fixture.folders << QString::fromStdString(removed);
        window.tick();
        std::filesystem::remove(removed);
        before = fixture.messages().size();
        fixture.queueAnswer(QMessageBox::Yes);
        window.ok();
        QCOMPARE(fixture.messageTexts().mid(before + 1),
                 QStringList({QString::fromStdString("1 User Notes and 1 Fields Saved to " +
                                                     fixture.localBackup()),
                              "Error copying file!  Make sure path is correct!"}));
        QVERIFY(!std::filesystem::exists(removed));
        QVERIFY(shown.isVisible());
    }
};

QTEST_MAIN(KRNOTESTest)
#include "KRNOTESTest.moc"
