#include "windows/KRMANUAL.h"
#include "windows/KRPRINT.h"

#include "PrintFixture.h"
#include "support/PdfText.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <filesystem>
#include <fstream>

using namespace kora;
using namespace kora::test;

namespace {

// Two companies of Erie, one of them marked Omit, and a lookup tab selecting both.
class PrintCommandsFixture : public PrinterFixture
{
public:
    PrintCommandsFixture() : PrinterFixture("PA")
    {
        addCompany("1000001", "01",
                   {{"NAME1", "LAKESHORE MARINE"},
                    {"NameSort", "LAKESHORE MARINE"},
                    {"ZIP", "16501"},
                    {"Omit", " "}});
        addCompany("1000002", "01",
                   {{"NAME1", "HARBOR FREIGHT CO"},
                    {"NameSort", "HARBOR FREIGHT CO"},
                    {"ZIP", "16502"},
                    {"Omit", "Y"}});
        std::ofstream(programFolder() + "INITIAL/SEARCH1.KRD", std::ios::binary)
            << "\"ERIE ZIPS\",\"Zip Code\",\"16500\",\"16599\",\"ZIP\",#FALSE#\r\n";
        list().show();
    }
    void showLookup()
    {
        list().SETTABS();
        list().selectTab(1);
    }
    void selectRow(int row)
    {
        auto* grid = list().findChild<QTableView*>("TDBGrid4");
        grid->setCurrentIndex(grid->model()->index(row, 2));
    }
};

} // namespace

class PrintCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void printSearchAndPrintManualAreCommands()
    {
        PrintCommandsFixture fixture;
        for (const char* name :
             {"SSRibbon1_4", "SSRibbon1_6", "mnuPrintSearch", "mnuPrintManual"}) {
            fixture.master().enableCommand(*commandNamed(name), true);
            QVERIFY2(fixture.master().isCommandEnabled(name), name);
        }
        QString caption;
        fixture.onModal<KRMANUAL>([&caption](KRMANUAL* window) {
            caption = window->windowTitle();
            window->reject();
        });
        fixture.master().findChild<QAction*>("SSRibbon1_6")->trigger();
        QCOMPARE(caption, QString("Print Manual"));
    }

    void theLookupOnScreenIsWhatThePrintWindowPrints()
    {
        PrintCommandsFixture fixture;
        fixture.showLookup();
        const KRPRINT::Lookup lookup = fixture.list().lookupToPrint();
        QCOMPARE(lookup.title, QString("ERIE ZIPS"));
        QCOMPARE(lookup.count, 2);
        QVERIFY(QString::fromStdString(lookup.recordSource).contains("ORDER BY"));
        KRPRINT window(fixture.master(), lookup);
        window.show();
        window.findChild<QPushButton*>("Command1")->click();
        const std::string text = pdfText(fixture.pdf());
        QCOMPARE(pdfPages(fixture.pdf()), 1);
        QVERIFY2(text.find("LAKESHORE MARINE") != std::string::npos, text.c_str());
        QVERIFY(text.find("ERIE ZIPS") != std::string::npos);
        QVERIFY(text.find("HARBOR FREIGHT") == std::string::npos);
    }

    void printRecordPrintsTheOmittedCompanyOrSaysTheTemplateIsMissing()
    {
        PrintCommandsFixture fixture;
        fixture.showLookup();
        fixture.selectRow(0); // by name: HARBOR FREIGHT CO, marked Omit
        fixture.list().findChild<QPushButton*>("PRINTCUR")->click();
        QVERIFY(fixture.messageTexts().isEmpty());
        const std::string text = pdfText(fixture.pdf());
        QCOMPARE(pdfPages(fixture.pdf()), 1);
        for (const char* shown : {"HARBOR FREIGHT CO", "Print Record", "State: PA"})
            QVERIFY2(text.find(shown) != std::string::npos, text.c_str());

        std::filesystem::remove(fixture.pdf());
        std::filesystem::remove(fixture.programFolder() + "REPORT.MDB");
        fixture.selectRow(1);
        fixture.list().findChild<QPushButton*>("PRINTCUR")->click();
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"KRLIST PRINTCUR CANNOT FIND SYSTEM DIRECTORY!"}));
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void theManualPrintsLineByLineOverPages()
    {
        PrintCommandsFixture fixture;
        const auto printManual = [&fixture] {
            KRMANUAL window(fixture.master());
            window.show();
            window.findChild<QPushButton*>("OK")->click();
            return window.isVisible() ? QString("still open")
                                      : window.findChild<QLabel*>("Label2")->text();
        };
        QCOMPARE(printManual(), QString("Printing Manual..."));
        std::string text = pdfText(fixture.pdf());
        QVERIFY(pdfPages(fixture.pdf()) >= 3);
        for (const char* heading : {"KORA USER'S MANUAL", "LOOKUPS", "PRINTING", "BACKUPS"})
            QVERIFY2(text.find(heading) != std::string::npos, heading);

        // 130 lines, the last without a line break: three pages of 60 lines at most.
        {
            std::ofstream manual(fixture.programFolder() + "MANUAL.TXT", std::ios::binary);
            for (int n = 1; n < 130; ++n)
                manual << "Manual line " << n << "\r\n";
            manual << "The last line";
        }
        QCOMPARE(printManual(), QString("Printing Manual..."));
        text = pdfText(fixture.pdf());
        QCOMPARE(pdfPages(fixture.pdf()), 3);
        for (const char* line : {"Manual line 1\n", "Manual line 129", "The last line"})
            QVERIFY2(text.find(line) != std::string::npos, line);

        std::filesystem::remove(fixture.pdf());
        std::filesystem::remove(fixture.programFolder() + "MANUAL.TXT");
        QCOMPARE(printManual(), QString("still open"));
        QCOMPARE(fixture.messageTexts(),
                 QStringList({KRMANUAL::missingManualMessage(
                     QString::fromStdString(fixture.programFolder() + "MANUAL.TXT"))}));
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void theManualWindowSaysWhatItDoes()
    {
        PrintCommandsFixture fixture;
        KRMANUAL window(fixture.master());
        window.show();
        QCOMPARE(window.findChild<QLabel*>("Label1")->text(),
                 QString("Click OK to print the user's manual to your default printer."));
        window.findChild<QPushButton*>("CANCEL")->click();
        QVERIFY(!window.isVisible());
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }
};

QTEST_MAIN(PrintCommandsTest)
#include "PrintCommandsTest.moc"
