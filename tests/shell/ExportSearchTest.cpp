#include "database/Database.h"
#include "database/Installation.h"
#include "lookup/LookupFile.h"
#include "shell/MASTER.h"
#include "shell/WorkspaceWindow.h"
#include "windows/KREXPORT.h"
#include "windows/KRLIST.h"

#include <QAction>
#include <QFile>
#include <QRadioButton>
#include <QTabBar>
#include <QtTest>

using namespace kora;
using namespace kora::test;

// The main window's Export Search command and toolbar button open the export
// window on the lookup tab shown.
class ExportSearchTest : public QObject
{
    Q_OBJECT

private slots:
    void exportSearchWritesTheLookupOfTheTabShown()
    {
        WindowFixture fixture;
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

        MASTER master;
        WorkspaceWindow::answerEach(fixture, {&WorkspaceWindow::ok});
        QVERIFY(master.start());
        // Nothing to export on the all-companies tab.
        QVERIFY(!master.isCommandEnabled(Command::Export));
        QVERIFY(!master.isCommandEnabled(Command::ExportLookupButton));
        master.resultList()->findChild<QTabBar*>()->setCurrentIndex(1);

        const QString out = QString::fromStdString(fixture.programFolder()) + "LOOKUP.TXT";
        Dialogs::setFileScript([&out](const Dialogs::FileRequest&) {
            return Dialogs::FileAnswer{true, {out}, 2};
        });
        int opened = 0;
        fixture.onModal<KREXPORT>([&opened](KREXPORT* window) {
            ++opened;
            for (auto* option : window->findChildren<QRadioButton*>())
                if (option->text() == "TXT (ASCII) - Fixed Length")
                    option->setChecked(true);
            for (auto* button : window->findChildren<QPushButton*>())
                if (button->text() == "OK")
                    button->click();
        });
        for (Command command : {Command::Export, Command::ExportLookupButton}) {
            QFile::remove(out);
            QVERIFY(master.isCommandEnabled(command));
            master.findChild<QAction*>(QString::fromLatin1(commandName(command)))->trigger();
            QTRY_COMPARE(opened, command == Command::Export ? 1 : 2);
            QFile file(out);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QCOMPARE(bytes.count("\r\n"), 2);
            QVERIFY(bytes.startsWith("1000000-01COMPANY 1000000"));
            QVERIFY(bytes.contains("\r\n1000001-01COMPANY 1000001"));
        }
        QVERIFY(master.resultList()->isVisible());
        Dialogs::setFileScript({});
        QCOMPARE(fixture.messageTexts(), QStringList());
    }
};

QTEST_MAIN(ExportSearchTest)
#include "ExportSearchTest.moc"
