#include "windows/KRMANUAL.h"
#include "windows/KRPRINT.h"

#include "ResultsFixture.h"
#include "support/PdfText.h"

#include <QAction>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <filesystem>
#include <fstream>

using namespace kora;
using namespace kora::test;

namespace {

// Two companies of Erie, one of them marked Omit, a lookup tab selecting both,
// and the main window's printer writing a PDF file.
class PrintCommandsFixture : public ResultsFixture
{
public:
    PrintCommandsFixture() : ResultsFixture("PA")
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
        master().printer().setOutputFormat(QPrinter::PdfFormat);
        master().printer().setOutputFileName(QString::fromStdString(pdf()));
        list().show();
    }
    std::string pdf() const { return temporaryFolder() + "printed.pdf"; }
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

    void printRecordPrintsTheOmittedCompany()
    {
        PrintCommandsFixture fixture;
        fixture.showLookup();
        fixture.selectRow(0); // by name: HARBOR FREIGHT CO, marked Omit
        fixture.list().findChild<QPushButton*>("PRINTCUR")->click();
        QVERIFY(fixture.messageTexts().isEmpty());
        const std::string text = pdfText(fixture.pdf());
        QCOMPARE(pdfPages(fixture.pdf()), 1);
        QVERIFY2(text.find("HARBOR FREIGHT CO") != std::string::npos, text.c_str());
        QVERIFY(text.find("Print Record") != std::string::npos);
        QVERIFY(text.find("State: PA") != std::string::npos);
    }

    void printRecordWithoutTheTemplateSaysSo()
    {
        PrintCommandsFixture fixture;
        std::filesystem::remove(fixture.programFolder() + "REPORT.MDB");
        fixture.showLookup();
        fixture.selectRow(1);
        fixture.list().findChild<QPushButton*>("PRINTCUR")->click();
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"KRLIST PRINTCUR CANNOT FIND SYSTEM DIRECTORY!"}));
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void manualWindowCaptions()
    {
        PrintCommandsFixture fixture;
        KRMANUAL window(fixture.master());
        QCOMPARE(window.findChild<QLabel*>("Label1")->text(),
                 QString("Click OK to print the user's manual to your default printer."));
        QVERIFY(window.findChild<QLabel*>("Label2")->text().isEmpty());
        QCOMPARE(window.findChild<QPushButton*>("OK")->text(), QString("OK"));
        QCOMPARE(window.findChild<QPushButton*>("CANCEL")->text(), QString("Cancel"));
        window.show();
        window.findChild<QPushButton*>("CANCEL")->click();
        QVERIFY(!window.isVisible());
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void theManualPrintsLineByLineOverPages()
    {
        PrintCommandsFixture fixture;
        // 130 lines, the last without a line break: three pages of 60 lines at most.
        {
            std::ofstream manual(fixture.programFolder() + "MANUAL.TXT", std::ios::binary);
            for (int n = 1; n < 130; ++n)
                manual << "Manual line " << n << "\r\n";
            manual << "The last line";
        }
        KRMANUAL window(fixture.master());
        window.show();
        window.findChild<QPushButton*>("OK")->click();
        QVERIFY(!window.isVisible());
        QCOMPARE(window.findChild<QLabel*>("Label2")->text(), QString("Printing Manual..."));
        const std::string text = pdfText(fixture.pdf());
        QCOMPARE(pdfPages(fixture.pdf()), 3);
        QVERIFY(text.find("Manual line 1\n") != std::string::npos);
        QVERIFY(text.find("Manual line 129") != std::string::npos);
        QVERIFY(text.find("The last line") != std::string::npos);
    }

    void theShippedManualIsTheUsersManual()
    {
        PrintCommandsFixture fixture;
        KRMANUAL window(fixture.master());
        window.show();
        window.findChild<QPushButton*>("OK")->click();
        const std::string text = pdfText(fixture.pdf());
        QVERIFY(pdfPages(fixture.pdf()) >= 3);
        for (const char* heading : {"KORA USER'S MANUAL", "LOOKUPS", "PRINTING", "BACKUPS"})
            QVERIFY2(text.find(heading) != std::string::npos, heading);
    }

    void aMissingManualIsNamed()
    {
        PrintCommandsFixture fixture;
        std::filesystem::remove(fixture.programFolder() + "MANUAL.TXT");
        KRMANUAL window(fixture.master());
        window.show();
        window.findChild<QPushButton*>("OK")->click();
        QCOMPARE(fixture.messageTexts(),
                 QStringList({KRMANUAL::missingManualMessage(
                     QString::fromStdString(fixture.programFolder() + "MANUAL.TXT"))}));
        QVERIFY(window.isVisible());
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }
};

QTEST_MAIN(PrintCommandsTest)
#include "PrintCommandsTest.moc"
