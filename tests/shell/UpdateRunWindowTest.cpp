#include "base/Dates.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "database/QueryRecordSet.h"
#include "demo/DemoData.h"
#include "loading/UpdateRun.h"
#include "shell/MASTER.h"
#include "shell/TITLE.h"
#include "shell/WorkspaceWindow.h"
#include "windows/KRLIST.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

#include <filesystem>
#include <fstream>

using namespace kora;
using namespace kora::test;

class UpdateRunWindowTest : public QObject
{
    Q_OBJECT

private:
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

    static void writeClassList(const WindowFixture& fixture)
    {
        std::string record(57, ' ');
        record.replace(1, 4, "8810");
        record.replace(5, 8, "CLERICAL");
        std::ofstream(fixture.programFolder() + "CLASSES.DAT", std::ios::binary) << record;
    }

    static std::string value(const WindowFixture& fixture, const std::string& state,
                             const std::string& sql)
    {
        Database db(fixture.programFolder() + "KORA" + state + ".MDB",
                    Installation(fixture.programFolder()).stateConnect(state));
        QueryRecordSet rows(db, sql);
        return rows.eof() ? std::string() : rows.field(0).toString();
    }

    static bool exists(const WindowFixture& fixture, const char* name)
    {
        return std::filesystem::exists(fixture.programFolder() + name);
    }

private slots:
    void aClassListAloneIsLoadedAndTheProgramEnds()
    {
        WindowFixture fixture;
        writeClassList(fixture);
        const std::string version = value(fixture, "PA", "SELECT Version FROM VERSION");
        MASTER master;
        acceptOn(fixture, "PA");
        fixture.queueAnswer(QMessageBox::Ok);
        QVERIFY(!master.start());
        QVERIFY(master.hasEnded());
        QCOMPARE(fixture.messageTexts(), QStringList({QString::fromUtf8(UpdateRun::kQuestion)}));
        QCOMPARE(fixture.messages()[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(fixture.messages()[0].defaultButton, QMessageBox::Ok);
        QCOMPARE(value(fixture, "PA", "SELECT CLASS FROM CLASSLIST"), std::string("8810"));
        QCOMPARE(value(fixture, "PA", "SELECT Version FROM VERSION"), version);
        QVERIFY(!exists(fixture, "CLASSES.DAT"));
    }

    // Cancel starts on the list with the update left waiting, and a later
    // change of state asks nothing about it.
    void cancelLeavesTheUpdateForTheNextStart()
    {
        WindowFixture fixture;
        writeClassList(fixture);
        MASTER master;
        const auto state = acceptOn(fixture, "PA");
        fixture.queueAnswer(QMessageBox::Cancel);
        QVERIFY(master.start());
        QCOMPARE(value(fixture, "PA", "SELECT COUNT(*) FROM CLASSLIST"), std::string("0"));
        *state = "NJ";
        master.findChild<QAction*>("mnuNewState")->trigger();
        QCOMPARE(fixture.messages().size(), 1);
        QVERIFY(exists(fixture, "CLASSES.DAT"));
        QCOMPARE(master.windowTitle(), QString("KORA - Workspace is INITIAL and State is NJ"));
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
        QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(
            splash.findChild<QLabel*>("lblStatus")->text().startsWith("TOTAL COMPANIES ADDED IS "));
        QCOMPARE(splash.findChild<QLabel*>("Label4")->text(), QString("2.30.0"));
        QVERIFY(!splash.isVisible());
        QCOMPARE(value(fixture, "PA", "SELECT COUNT(*) FROM PRIME"), std::string("20"));
        QCOMPARE(value(fixture, "PA", "SELECT Dummy || ' ' || Version FROM VERSION"),
                 "1 " + Dates::today());
        for (const char* name :
             {"SIC.DAT", "CLASSES.DAT", "CTYPA.DAT", "DATA1PA.DAT", "DATAPA.DAT"})
            QVERIFY2(!exists(fixture, name), name);
    }

    void newYorkAddressesAloneAreNoUpdateAndAnEmptyFileIsTold()
    {
        WindowFixture fixture;
        std::ofstream(fixture.programFolder() + "DATA2NY.DAT", std::ios::binary)
            << std::string(300, 'X');
        std::ofstream(fixture.programFolder() + "DATANY.DAT", std::ios::binary);
        MASTER master;
        acceptOn(fixture, "NY");
        QVERIFY(master.start());
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"DATANY.DAT is empty: there is nothing in it to load"}));
        QCOMPARE(master.windowTitle(), QString("KORA - Workspace is INITIAL and State is NY"));
        QVERIFY(exists(fixture, "DATA2NY.DAT"));
    }
};

QTEST_MAIN(UpdateRunWindowTest)
#include "UpdateRunWindowTest.moc"
