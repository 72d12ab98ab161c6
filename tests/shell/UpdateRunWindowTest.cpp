#include "base/Dates.h"
#include "database/Database.h"
#include "database/Installation.h"
#include "database/QueryRecordSet.h"
#include "demo/DemoData.h"
#include "loading/UpdateRun.h"
#include "shell/KRWSPACE.h"
#include "shell/MASTER.h"
#include "shell/TITLE.h"
#include "support/WindowFixture.h"
#include "windows/KRLIST.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <fstream>

using namespace kora;
using namespace kora::test;

class UpdateRunWindowTest : public QObject
{
    Q_OBJECT

private:
    static void chooseState(WindowFixture& fixture, const QString& state)
    {
        fixture.onModal<KRWSPACE>([state](KRWSPACE* window) {
            window->findChild<QComboBox*>("STATE")->setCurrentText(state);
            window->findChild<QPushButton*>("OK")->click();
        });
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
        chooseState(fixture, "PA");
        fixture.queueAnswer(QMessageBox::Ok);
        QVERIFY(!master.start());
        QVERIFY(master.hasEnded());
        QCOMPARE(fixture.messages().size(), 1);
        QCOMPARE(fixture.messages()[0].text.toStdString(), std::string(UpdateRun::kQuestion));
        QCOMPARE(fixture.messages()[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(fixture.messages()[0].defaultButton, QMessageBox::Ok);
        QCOMPARE(value(fixture, "PA", "SELECT CLASS FROM CLASSLIST"), std::string("8810"));
        QCOMPARE(value(fixture, "PA", "SELECT Version FROM VERSION"), version);
        QVERIFY(!exists(fixture, "CLASSES.DAT"));
    }

    void aCompanyLoadRunsWithTheSplashInFront()
    {
        WindowFixture fixture;
        DemoData("PA", 20, Dates::today()).writeUpdateFiles(fixture.programFolder());
        TITLE splash;
        splash.show();
        MASTER master(&splash);
        chooseState(fixture, "PA");
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

    void aLoadThatRemovesMostCompaniesIsAskedAbout()
    {
        WindowFixture fixture;
        DemoData("PA", 20, Dates::today()).writeUpdateFiles(fixture.programFolder());
        {
            MASTER master;
            chooseState(fixture, "PA");
            fixture.queueAnswer(QMessageBox::Ok);
            QVERIFY(!master.start());
        }
        std::string record(502, ' ');
        record.replace(0, 9, "PA7654321");
        const std::string file = fixture.programFolder() + "DATAPA.DAT";
        for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
            std::ofstream(file, std::ios::binary) << record << "PA7";
            MASTER master;
            chooseState(fixture, "PA");
            fixture.queueAnswer(QMessageBox::Ok);
            fixture.queueAnswer(answer);
            QVERIFY(!master.start());
        }
        const auto& messages = fixture.messages();
        QCOMPARE(messages.size(), 7);
        QCOMPARE(messages[2].text, QString("Loading DATAPA.DAT removes 19 of the 20 companies of "
                                           "PA: the file holds 1. Load it?"));
        QCOMPARE(messages[2].buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(messages[3].text.startsWith("The update did not finish. Cannot load DATAPA.DAT: it "
                                            "would remove 19 of the 20 companies of PA"));
        QCOMPARE(messages[5].text, messages[2].text);
        QCOMPARE(messages[6].text, QString("The update is finished.\r\nDATAPA.DAT: an incomplete "
                                           "record of 3 bytes at the end was skipped"));
        QCOMPARE(value(fixture, "PA", "SELECT GROUP_CONCAT(FILE) FROM PRIME"),
                 std::string("7654321"));
        QVERIFY(!exists(fixture, "DATAPA.DAT"));
    }

    void aChangeOfStateAsksNothingAboutWaitingUpdates()
    {
        WindowFixture fixture;
        MASTER master;
        QString state = "PA";
        fixture.onModal<KRWSPACE>([&state](KRWSPACE* window) {
            window->findChild<QComboBox*>("STATE")->setCurrentText(state);
            window->findChild<QPushButton*>("OK")->click();
        });
        QVERIFY(master.start());
        writeClassList(fixture);

        state = "NJ";
        master.findChild<QAction*>("mnuNewState")->trigger();
        QVERIFY(fixture.messages().isEmpty());
        QVERIFY(exists(fixture, "CLASSES.DAT"));
        QCOMPARE(master.windowTitle(), QString("KORA - Workspace is INITIAL and State is NJ"));
        // The new result list took the old one's place.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(master.workArea()->subWindowList().size(), 1);
        QCOMPARE(master.workArea()->subWindowList().first()->widget(),
                 static_cast<QWidget*>(master.resultList()));
    }

    void cancelLeavesTheFilesAndStartsNormally()
    {
        WindowFixture fixture;
        writeClassList(fixture);
        MASTER master;
        chooseState(fixture, "PA");
        fixture.queueAnswer(QMessageBox::Cancel);
        QVERIFY(master.start());
        QVERIFY(master.resultList());
        QVERIFY(exists(fixture, "CLASSES.DAT"));
        QCOMPARE(value(fixture, "PA", "SELECT COUNT(*) FROM CLASSLIST"), std::string("0"));
    }

    void newYorkAddressesAloneAreNoUpdateAndAnEmptyFileIsTold()
    {
        WindowFixture fixture;
        std::ofstream(fixture.programFolder() + "DATA2NY.DAT", std::ios::binary)
            << std::string(300, 'X');
        // An empty company file is told, and the start goes on.
        std::ofstream(fixture.programFolder() + "DATANY.DAT", std::ios::binary);
        MASTER master;
        chooseState(fixture, "NY");
        QVERIFY(master.start());
        QCOMPARE(fixture.messages().size(), 1);
        QCOMPARE(fixture.messages()[0].text,
                 QString("DATANY.DAT is empty: there is nothing in it to load"));
        QCOMPARE(master.windowTitle(), QString("KORA - Workspace is INITIAL and State is NY"));
        QVERIFY(exists(fixture, "DATA2NY.DAT"));
    }
};

QTEST_MAIN(UpdateRunWindowTest)
#include "UpdateRunWindowTest.moc"
