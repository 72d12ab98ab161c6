#include "windows/KRPRINT.h"

#include "PrintFixture.h"
#include "support/PdfText.h"
#include "support/WriteFailure.h"
#include "windows/PrinterOutput.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace kora;
using namespace kora::test;

class KRPRINTTest : public QObject
{
    Q_OBJECT

private slots:
    void showingStartsOverOnDetailAndOneCopy()
    {
        PrintFixture fixture;
        KRPRINT window(fixture.master(), fixture.lookup());
        window.findChild<QRadioButton*>("SUMMARY")->setChecked(true);
        window.findChild<QLineEdit*>("COPIES")->setText("4");
        window.show();
        QCOMPARE(window.windowTitle(), QString("Print Lookup Information"));
        QCOMPARE(window.format(), PrintRun::Format::Detail);
        QCOMPARE(window.copies(), 1);
        QVERIFY(!window.toWindow());
        window.findChild<QPushButton*>("Command2")->click();
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void copiesTakesDigitsOnly_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("letters") << "2a"
                                 << "2";
        QTest::newRow("signs and blanks") << "-1 +2."
                                          << "12";
        QTest::newRow("three digits at most") << "12345"
                                              << "123";
    }
    void copiesTakesDigitsOnly()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        PrintFixture fixture;
        const PrintWindow print(fixture, fixture.lookup());
        print.copies()->clear();
        QTest::keyClicks(print.copies(), typed);
        QCOMPARE(print.copies()->text(), kept);
        QTest::keyClick(print.copies(), Qt::Key_Backspace);
        QCOMPARE(print.copies()->text(), kept.chopped(1));
    }

    void printerSetUpSetsTheCopies()
    {
        PrintFixture fixture;
        int offered = 0;
        Dialogs::setPrinterScript([&offered](QPrinter& printer) {
            offered = printer.copyCount();
            printer.setCopyCount(3);
            return true;
        });
        const PrintWindow print(fixture, fixture.lookup());
        print.copies()->setText("2");
        print.child<QPushButton>("SETUPCMD")->click();
        Dialogs::setPrinterScript({});
        QCOMPARE(offered, 2);
        QCOMPARE(print.window.copies(), 3);
    }

    void summaryOnThePrinterLeavesOutTheOmittedCompany()
    {
        PrintFixture fixture;
        const PrintWindow print(fixture, fixture.lookup());
        print.choose("SUMMARY");
        print.ok();
        QVERIFY(!print.window.isVisible());
        QVERIFY(fixture.messageTexts().isEmpty());
        QCOMPARE(print.status(), QString("Gathering information on 3 companies"));
        QCOMPARE(print.child<QLineEdit>("SHOWCOUNT")->text(), QString("2"));
        const std::string text = pdfText(fixture.pdf());
        QCOMPARE(pdfPages(fixture.pdf()), 1);
        for (const char* shown : {"BAKERS AND TOOLMAKERS", "State: PA", "ERIE, PA 16501"})
            QVERIFY2(text.find(shown) != std::string::npos, text.c_str());
        QVERIFY(text.find("MARKED OUT") == std::string::npos);
        QVERIFY(text.find("ACORN BAKERY") < text.find("ZENITH TOOL"));
        // The report's sheet does not stay on the user's printer.
        QCOMPARE(fixture.master().printer().copyCount(), 1);
    }

    void zipSortAndDetailPages()
    {
        PrintFixture fixture;
        printThrough(fixture, fixture.lookup(), "FULL", "ZIP");
        QCOMPARE(pdfPages(fixture.pdf()), 2);
        const std::string text = pdfText(fixture.pdf());
        QVERIFY(text.find("ZENITH TOOL") < text.find("ACORN BAKERY"));
    }

    void thePreviewIsOwnedByTheMainWindow()
    {
        PrintFixture fixture;
        const PrintWindow print(fixture, fixture.lookup());
        const char* copyControls[] = {"COPIES", "LCOPIES", "SETUPCMD"};
        print.choose("POUTPUT_1");
        for (const char* name : copyControls)
            QVERIFY2(print.child<QWidget>(name)->isHidden(), name);
        print.choose("POUTPUT_0");
        for (const char* name : copyControls)
            QVERIFY2(print.child<QWidget>(name)->isVisible(), name);
        int pages = -1;
        QWidget* owner = nullptr;
        fixture.onModal<QPrintPreviewDialog>([&](QPrintPreviewDialog* preview) {
            owner = preview->parentWidget();
            auto* pagesShown = preview->findChild<QPrintPreviewWidget*>();
            pagesShown->updatePreview();
            pages = pagesShown->pageCount();
            preview->reject();
        });
        print.choose("POUTPUT_1");
        print.ok();
        QCOMPARE(owner, static_cast<QWidget*>(&fixture.master()));
        QCOMPARE(pages, 2);
        QVERIFY(!print.window.isVisible());
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void aMissingFileIsReportedAndTheWindowStays_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("message");
        QTest::newRow("template") << "REPORT.MDB"
                                  << "FULL"
                                  << "KRPRINT CMD1 CANNOT FIND SYSTEM DIRECTORY!";
        QTest::newRow("report") << "KRLABELL.RPT"
                                << "LASERLABEL"
                                << "The Report File (KRLABELL.RPT) Is Missing or Not Loading";
    }
    void aMissingFileIsReportedAndTheWindowStays()
    {
        QFETCH(QString, removed);
        QFETCH(QString, format);
        QFETCH(QString, message);
        PrintFixture fixture;
        std::filesystem::remove(fixture.programFolder() + removed.toStdString());
        const PrintWindow print(fixture, fixture.lookup());
        print.choose(format.toLatin1().constData());
        print.ok();
        QCOMPARE(fixture.messageTexts(), QStringList{message});
        QCOMPARE(fixture.messages().front().title, QString("KORA"));
        QVERIFY(print.window.isVisible());
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void aFullDiskKeepsTheOldPdfAndSaysWhy()
    {
        PrintFixture fixture;
        // Enough pages for a PDF larger than the limit, which the scratch database is not.
        for (int i = 0; i < 40; ++i)
            fixture.addCompany(std::to_string(2000000 + i), "01",
                               {{"NAME1", "FILLER " + std::to_string(i)}, {"Omit", " "}});
        std::ofstream(fixture.pdf(), std::ios::binary) << "OLD CONTENT";
        const PrintWindow print(fixture, fixture.lookup());
        {
            const FileSizeLimit limit(48 * 1024);
            print.ok();
        }
        QCOMPARE(fixture.messageTexts(),
                 QStringList{
                     QString::fromStdString("Cannot write " + fixture.pdf() + ": File too large")});
        std::ifstream printed(fixture.pdf(), std::ios::binary);
        QCOMPARE(std::string(std::istreambuf_iterator<char>(printed), {}),
                 std::string("OLD CONTENT"));
        QVERIFY(print.window.isVisible());
        QCOMPARE(QDir(QString::fromStdString(fixture.temporaryFolder()))
                     .entryList({"*printed.pdf*"}, QDir::Files | QDir::Hidden),
                 QStringList{"printed.pdf"});
    }

    void noPrinterIsSaidBeforeAnyWork()
    {
        PrintFixture fixture;
        // A printer of a system without printers: PDF output to no file.
        fixture.master().printer().setOutputFileName(QString());
        const PrintWindow print(fixture, fixture.lookup());
        print.ok();
        QCOMPARE(fixture.messageTexts(), QStringList({PrinterOutput::missingPrinterMessage()}));
        QVERIFY(print.status().isEmpty());
        QVERIFY(print.window.isVisible());
    }
};

QTEST_MAIN(KRPRINTTest)
#include "KRPRINTTest.moc"
