#include "database/Database.h"
#include "database/Installation.h"
#include "lookup/LookupFile.h"
#include "shell/KRWSPACE.h"
#include "shell/MASTER.h"
#include "support/WindowFixture.h"
#include "windows/KREXPORT.h"
#include "windows/KRLIST.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
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
        {
            Database db(fixture.programFolder() + "KORAPA.MDB",
                        Installation(fixture.programFolder()).stateConnect("PA"));
            for (int i = 0; i < 20; ++i) {
                const std::string file = std::to_string(1000000 + i);
                db.prepare("INSERT INTO PRIME (FILE, SEQUENCE, FILESEQ, NAME1, NAMESORT, ZIP, "
                           "Omit) VALUES (?, '01', ?, ?, ?, ?, ' ')")
                    .bindAll({file, file + "01", "COMPANY " + file, "COMPANY " + file,
                              i < 2 ? "15001" : "19000"})
                    .run();
                db.prepare("INSERT INTO NOTES (FILE, SEQUENCE, NOTES) VALUES (?, '01', ' ')")
                    .bindAll({file})
                    .run();
            }
        }
        QVERIFY(LookupFile::write(fixture.programFolder() + "INITIAL/SEARCH1.KRD", "Zip 15001",
                                  {{"Zip 15001", "Zip Code", "15001", "15001", "ZIP", false}}));

        MASTER master;
        fixture.onModal<KRWSPACE>(
            [](KRWSPACE* window) { window->findChild<QPushButton*>("OK")->click(); });
        QVERIFY(master.start());
        KRLIST* list = master.resultList();
        QVERIFY(list);
        // Nothing to export on the all-companies tab.
        QVERIFY(!master.isCommandEnabled("mnuExport"));
        QVERIFY(!master.isCommandEnabled("SSRibbon1_5"));
        list->findChild<QTabBar*>("SSTab1")->setCurrentIndex(1);
        QVERIFY(master.isCommandEnabled("mnuExport"));
        QVERIFY(master.isCommandEnabled("SSRibbon1_5"));

        const QString out = QString::fromStdString(fixture.programFolder()) + "LOOKUP.TXT";
        Dialogs::setFileScript([&out](const Dialogs::FileRequest&) {
            return Dialogs::FileAnswer{true, {out}, 2};
        });
        int opened = 0;
        fixture.onModal<KREXPORT>([&opened](KREXPORT* window) {
            ++opened;
            for (auto* option : window->findChildren<QRadioButton*>("EXPTFORM"))
                option->setChecked(option->property("index").toInt() == 2);
            window->findChild<QPushButton*>("Command1")->click();
        });
        master.findChild<QAction*>("mnuExport")->trigger();
        QTRY_COMPARE(opened, 1);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.count("\r\n"), 2);
        QVERIFY(bytes.startsWith("1000000-01COMPANY 1000000"));
        QVERIFY(bytes.contains("\r\n1000001-01COMPANY 1000001"));
        file.close();

        // The toolbar button does the same.
        QVERIFY(QFile::remove(out));
        master.findChild<QAction*>("SSRibbon1_5")->trigger();
        QTRY_COMPARE(opened, 2);
        QVERIFY(QFile::exists(out));
        QVERIFY(list->isVisible());
        Dialogs::setFileScript({});
        QCOMPARE(fixture.messageTexts(), QStringList());
    }
};

QTEST_MAIN(ExportSearchTest)
#include "ExportSearchTest.moc"
