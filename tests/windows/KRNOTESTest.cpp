#include "windows/KRNOTES.h"

#include "ResultsFixture.h"

#include <filesystem>

using namespace kora;
using namespace kora::test;

namespace {

// Two Pennsylvania companies with blank notes and user fields, and folder
// choosers answered by script: each answer is the next queued folder, or a
// cancel when none is left.
class NotesFixture : public ResultsFixture
{
public:
    NotesFixture() : ResultsFixture("PA")
    {
        for (const char* file : {"100001", "100002"})
            addCompany(file, "00", "NAME1, User1, User2, User3, Omit",
                       {"Acme", " ", " ", " ", " "});
        Dialogs::setFileScript([this](const Dialogs::FileRequest& request) {
            requests.append(request);
            if (folders.isEmpty())
                return Dialogs::FileAnswer{};
            return Dialogs::FileAnswer{true, {folders.takeFirst()}, 0};
        });
    }
    ~NotesFixture() { Dialogs::setFileScript({}); }

    std::string localBackup() const { return programFolder() + "BACKUPPA.MDB"; }
    QString temporary() const { return QString::fromStdString(temporaryFolder()); }
    void set(const char* table, const char* column, const char* file, const std::string& value)
    {
        db().prepare(std::string("UPDATE ") + table + " SET " + column + " = ? WHERE FILE = ?")
            .bindAll({value, file})
            .run();
    }

    QStringList folders;
    QList<Dialogs::FileRequest> requests;
};

// Drives the backup window as a user would: option 1 backs up, 2 restores, 3 merges.
struct BackupWindow
{
    explicit BackupWindow(MASTER& master) : window(master) { window.show(); }

    QCheckBox* otherFolder() const { return named<QCheckBox>(&window, "Check1"); }
    bool folderShown() const { return named<QLineEdit>(&window, "Dir1")->isVisible(); }
    void choose(int option) const
    {
        named<QRadioButton>(&window, ("Option" + std::to_string(option)).c_str())->click();
    }
    void tick() const { otherFolder()->click(); }
    void ok() const { named<QPushButton>(&window, "OK")->click(); }

    KRNOTES window;
};

} // namespace

class KRNOTESTest : public QObject
{
    Q_OBJECT

private slots:
    void theFolderChooserComesOnlyWithATick()
    {
        NotesFixture fixture;
        const BackupWindow window(fixture.master());
        // OK without the tick: the backup goes to the program folder, no chooser.
        fixture.queueAnswer(QMessageBox::No);
        window.ok();
        QVERIFY(fixture.requests.isEmpty());
        QCOMPARE(fixture.messageTexts(),
                 QStringList({QString::fromStdString("Backup User Data and Notes to " +
                                                     fixture.localBackup() + "?")}));
        QVERIFY(window.window.isVisible());

        // Ticked, then the chooser left without a folder: the tick goes again.
        window.tick();
        QCOMPARE(fixture.requests.size(), 1);
        QVERIFY(!window.otherFolder()->isChecked());
        QVERIFY(!window.folderShown());

        // A folder that cannot be read is refused by name.
        fixture.folders << fixture.temporary() + "gone";
        window.tick();
        QCOMPARE(fixture.messageTexts().last(),
                 "Error Reading Drive " + fixture.temporary() + "gone");
        QVERIFY(!window.otherFolder()->isChecked());

        // A folder chosen, then untick and tick again: the chooser starts there.
        fixture.folders << fixture.temporary();
        window.tick();
        QVERIFY(window.otherFolder()->isChecked());
        window.tick();
        window.tick();
        QCOMPARE(fixture.requests.size(), 4);
        QCOMPARE(fixture.requests.last().directory + '/', fixture.temporary());
        // Left this time, the folder chosen before stays.
        QVERIFY(window.otherFolder()->isChecked());
        QCOMPARE(window.window.folder() + '/', fixture.temporary());
    }

    void aBackupGoesToTheOtherFolderAndComesBackByRestoreOrMerge()
    {
        NotesFixture fixture;
        fixture.set("NOTES", "NOTES", "100001", "Renewal in March");
        fixture.set("PRIME", "User1", "100002", "Key account");
        const QString other = fixture.temporary() + "diskette";
        QVERIFY(QDir().mkdir(other));
        const QString chosen = other + "/BACKUPPA.MDB";
        const QString local = QString::fromStdString(fixture.localBackup());
        int restoredSignals = 0;
        // Runs an option on the other folder; true when the window stays.
        const auto run = [&](int option, QMessageBox::StandardButton answer) {
            const BackupWindow window(fixture.master());
            QObject::connect(&window.window, &KRNOTES::userDataRestored,
                             [&restoredSignals] { ++restoredSignals; });
            window.choose(option);
            fixture.folders << other;
            window.tick();
            fixture.queueAnswer(answer);
            window.ok();
            return window.window.isVisible();
        };
        QVERIFY(!run(1, QMessageBox::Yes));
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"Backup User Data and Notes to " + chosen + "?",
                              "1 User Notes and 1 Fields Saved to " + local,
                              "Backup copied to " + chosen}));
        QCOMPARE(bytesOf(chosen.toStdString()), bytesOf(fixture.localBackup()));

        // Typed over since, and the local backup lost.
        fixture.set("NOTES", "NOTES", "100001", "typed later");
        fixture.set("PRIME", "User1", "100002", " ");
        std::filesystem::remove(fixture.localBackup());
        qsizetype before = fixture.messages().size();
        QVERIFY(!run(2, QMessageBox::Yes));
        QCOMPARE(restoredSignals, 1);
        QCOMPARE(fixture.messageTexts().mid(before),
                 QStringList({"Restore User Data and Notes from " + chosen + "?",
                              "1 User Notes and 1 Fields Restored From " + chosen,
                              "User Notes and Fields Restored!"}));
        QCOMPARE(fixture.note("100001", "00"), Value("Renewal in March"));
        QCOMPARE(fixture.field("100002", "00", "User1"), Value("Key account"));
        QVERIFY(!std::filesystem::exists(fixture.localBackup()));

        // A merge keeps the current note first; No changes nothing.
        fixture.set("NOTES", "NOTES", "100001", "typed later");
        QVERIFY(run(3, QMessageBox::No));
        QCOMPARE(fixture.note("100001", "00"), Value("typed later"));
        QCOMPARE(restoredSignals, 1);
        QVERIFY(!run(3, QMessageBox::Yes));
        QCOMPARE(fixture.messageTexts().last(), QString("User Notes and Fields Merged!"));
        QCOMPARE(fixture.note("100001", "00"), Value("typed later\r\nRenewal in March"));
        QCOMPARE(restoredSignals, 2);

        // The folder went away after it was chosen: the local backup is made, the copy fails.
        const BackupWindow window(fixture.master());
        const QString removed = fixture.temporary() + "ejected";
        QVERIFY(QDir().mkdir(removed));
        fixture.folders << removed;
        window.tick();
        QVERIFY(QDir().rmdir(removed));
        before = fixture.messages().size();
        fixture.queueAnswer(QMessageBox::Yes);
        window.ok();
        QCOMPARE(fixture.messageTexts().mid(before + 1),
                 QStringList({"1 User Notes and 1 Fields Saved to " + local,
                              "Error copying file!  Make sure path is correct!"}));
        QVERIFY(!QDir(removed).exists());
        QVERIFY(window.window.isVisible());
    }
};

QTEST_MAIN(KRNOTESTest)
#include "KRNOTESTest.moc"
