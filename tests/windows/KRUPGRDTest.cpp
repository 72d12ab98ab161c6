#include "windows/KRUPGRD.h"

#include "support/WindowFixture.h"
#include "upgrade/ZipBuilder.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

using namespace kora;
using namespace kora::test;

class KRUPGRDTest : public QObject
{
    Q_OBJECT

private slots:
    // The window starts in the home folder and keeps it when a missing one is
    // chosen; Cancel leaves without starting any work.
    void startsInTheHomeFolderRefusesAMissingOneAndCancelLeaves()
    {
        WindowFixture fixture;
        KRUPGRD window(nullptr, fixture.programFolder(), {});
        const QString missing = QDir::homePath() + "/no such folder";
        window.setFolder(missing);
        QCOMPARE(fixture.messageTexts(), QStringList({"Error Reading Drive " + missing}));
        QCOMPARE(window.folder(), QDir::homePath());
        window.show();
        named<QPushButton>(&window, "Command2")->click();
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QVERIFY(!window.workStarted());
    }

    void startInstallsOnlyAGoodArchiveAndAsksForTheState()
    {
        WindowFixture fixture;
        TempFolder source;
        bool released = false;
        KRUPGRD window(nullptr, fixture.programFolder(), [&released] { released = true; });
        window.show();
        window.setFolder(QString::fromStdString(source.path()));
        const QString shown = window.folder();
        QCOMPARE(shown + '/', QString::fromStdString(source.path()));
        const auto start = [&window] { named<QPushButton>(&window, "Command1")->click(); };
        start();
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"The KORA*.ZIP file was not found in the directory (" + shown +
                              ")  Please select the correct path and try again."}));
        QVERIFY(window.isVisible());
        QCOMPARE(window.ending(), SelfUpgrade::Ending::NoArchive);
        QVERIFY(!released);

        writeFile(source.file("KORA1.ZIP"), "not a zip");
        start();
        QCOMPARE(fixture.messageTexts().size(), 2);
        QVERIFY(fixture.messageTexts().last().endsWith("Technical Support. (19)"));
        QVERIFY(window.isVisible());
        QCOMPARE(window.ending(), SelfUpgrade::Ending::NothingInstalled);
        QCOMPARE(named<QProgressBar>(&window, "status1")->value(), 0);

        ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORA.HLP", "new help"}});
        start();
        QVERIFY(released);
        QCOMPARE(fileBytes(fixture.programFolder() + "KORA.HLP"), std::string("new help"));
        QCOMPARE(fixture.messageTexts().last(), QString("Upgrade complete.  Select State!"));
        QCOMPARE(window.ending(), SelfUpgrade::Ending::SelectState);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(named<QLabel>(&window, "Label1")->isHidden());
    }
};

QTEST_MAIN(KRUPGRDTest)
#include "KRUPGRDTest.moc"
