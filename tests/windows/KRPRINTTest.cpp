#include "windows/KRPRINT.h"

#include "PrintFixture.h"
#include "support/PdfText.h"
#include "support/WriteFailure.h"
#include "windows/PrinterOutput.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
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
    void captionsFramesAndFirstChoices()
    {
        PrintFixture fixture;
        KRPRINT window(fixture.master(), fixture.lookup());
        window.show();
        QCOMPARE(window.windowTitle(), QString("Print Lookup Information"));
        QStringList frames;
        for (auto* frame : window.findChildren<QGroupBox*>())
            frames << frame->title();
        QCOMPARE(frames, QStringList({"Print Format", "Sort Report By", "Print Options"}));
        const QList<QPair<const char*, QString>> options = {
            {"FULL", "Detail - 1 per page, all fields"},
            {"SUMMARY", "Summary - 6 per page, limited fields"},
            {"LASERLABEL", "Labels - Laser printer"},
            {"DOTLABEL", "Labels - Dot matrix printer"},
            {"NAME1", "Name"},
            {"EXPIRE", "Expiration date"},
            {"ZIP", "Zip code"},
            {"POUTPUT_0", "Printer"},
            {"POUTPUT_1", "Window"}};
        for (const auto& [name, caption] : options)
            QCOMPARE(child<QRadioButton>(window, name)->text(), caption);
        QCOMPARE(child<QLabel>(window, "LCOPIES")->text(), QString("Copies"));
        QCOMPARE(child<QPushButton>(window, "Command1")->text(), QString("OK"));
        QCOMPARE(child<QPushButton>(window, "Command2")->text(), QString("Cancel"));
        QVERIFY(child<QPushButton>(window, "SETUPCMD")->isVisible());
        QVERIFY(child<QLabel>(window, "Label1")->text().isEmpty());
        QVERIFY(child<QLineEdit>(window, "SHOWCOUNT")->isReadOnly());
        for (const char* chosen : {"FULL", "NAME1", "POUTPUT_0"})
            QVERIFY(child<QRadioButton>(window, chosen)->isChecked());
        QCOMPARE(child<QLineEdit>(window, "COPIES")->text(), QString("1"));
    }

    void activationSetsDetailAndOneCopyAgain()
    {
        PrintFixture fixture;
        KRPRINT window(fixture.master(), fixture.lookup());
        child<QRadioButton>(window, "SUMMARY")->setChecked(true);
        child<QLineEdit>(window, "COPIES")->setText("4");
        window.show();
        QCOMPARE(window.format(), PrintRun::Format::Detail);
        QCOMPARE(child<QLineEdit>(window, "COPIES")->text(), QString("1"));
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
        KRPRINT window(fixture.master(), fixture.lookup());
        window.show();
        auto* copies = child<QLineEdit>(window, "COPIES");
        copies->clear();
        QTest::keyClicks(copies, typed);
        QCOMPARE(copies->text(), kept);
        // Control keys still edit the box.
        QTest::keyClick(copies, Qt::Key_Backspace);
        QCOMPARE(copies->text(), kept.left(kept.size() - 1));
    }

    void windowOutputHidesTheCopyControls()
    {
        PrintFixture fixture;
        KRPRINT window(fixture.master(), fixture.lookup());
        window.show();
        child<QRadioButton>(window, "POUTPUT_1")->click();
        for (const char* name : {"COPIES", "LCOPIES", "SETUPCMD"})
            QVERIFY2(child<QWidget>(window, name)->isHidden(), name);
        QVERIFY(window.toWindow());
        child<QRadioButton>(window, "POUTPUT_0")->click();
        for (const char* name : {"COPIES", "LCOPIES", "SETUPCMD"})
            QVERIFY2(child<QWidget>(window, name)->isVisible(), name);
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
        KRPRINT window(fixture.master(), fixture.lookup());
        window.show();
        child<QLineEdit>(window, "COPIES")->setText("2");
        child<QPushButton>(window, "SETUPCMD")->click();
        Dialogs::setPrinterScript({});
        QCOMPARE(offered, 2);
        QCOMPARE(window.copies(), 3);
    }

    void cancelClosesWithoutPrinting()
    {
        PrintFixture fixture;
        KRPRINT window(fixture.master(), fixture.lookup());
        window.show();
        child<QPushButton>(window, "Command2")->click();
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void summaryOnThePrinterLeavesOutTheOmittedCompany()
    {
        PrintFixture fixture;
        KRPRINT window(fixture.master(), fixture.lookup());
        window.show();
        child<QRadioButton>(window, "SUMMARY")->click();
        child<QPushButton>(window, "Command1")->click();
        QVERIFY(!window.isVisible());
        QVERIFY(fixture.messageTexts().isEmpty());
        QCOMPARE(child<QLabel>(window, "Label1")->text(),
                 QString("Gathering information on 3 companies"));
        QCOMPARE(child<QLineEdit>(window, "SHOWCOUNT")->text(), QString("2"));
        const std::string text = pdfText(fixture.pdf());
        QCOMPARE(pdfPages(fixture.pdf()), 1);
        QVERIFY2(text.find("BAKERS AND TOOLMAKERS") != std::string::npos, text.c_str());
        QVERIFY(text.find("State: PA") != std::string::npos);
        QVERIFY(text.find("ERIE, PA 16501") != std::string::npos);
        QVERIFY(text.find("MARKED OUT") == std::string::npos);
        // Sorted by name: the bakery before the tool maker.
        QVERIFY(text.find("ACORN BAKERY") < text.find("ZENITH TOOL"));
        // The report's sheet does not stay on the user's printer.
        QCOMPARE(fixture.master().printer().copyCount(), 1);
    }

    void zipSortAndDetailPages()
    {
        PrintFixture fixture;
        KRPRINT window(fixture.master(), fixture.lookup());
        window.show();
        child<QRadioButton>(window, "ZIP")->click();
        child<QPushButton>(window, "Command1")->click();
        QCOMPARE(pdfPages(fixture.pdf()), 2);
        const std::string text = pdfText(fixture.pdf());
        QVERIFY(text.find("ZENITH TOOL") < text.find("ACORN BAKERY"));
    }

    void previewIsOwnedByTheMainWindow()
    {
        PrintFixture fixture;
        KRPRINT window(fixture.master(), fixture.lookup());
        window.show();
        int pages = -1;
        QWidget* owner = nullptr;
        fixture.onModal<QPrintPreviewDialog>([&](QPrintPreviewDialog* preview) {
            owner = preview->parentWidget();
            auto* pagesShown = preview->findChild<QPrintPreviewWidget*>();
            pagesShown->updatePreview();
            pages = pagesShown->pageCount();
            preview->reject();
        });
        child<QRadioButton>(window, "POUTPUT_1")->click();
        child<QPushButton>(window, "Command1")->click();
        QCOMPARE(owner, static_cast<QWidget*>(&fixture.master()));
        QCOMPARE(pages, 2);
        QVERIFY(!window.isVisible());
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void aMissingTemplateIsReportedAndTheWindowStays()
    {
        PrintFixture fixture;
        std::filesystem::remove(fixture.programFolder() + "REPORT.MDB");
        KRPRINT window(fixture.master(), fixture.lookup());
        window.show();
        child<QPushButton>(window, "Command1")->click();
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"KRPRINT CMD1 CANNOT FIND SYSTEM DIRECTORY!"}));
        QCOMPARE(fixture.messages().front().title, QString("KORA"));
        QVERIFY(window.isVisible());
        QVERIFY(child<QPushButton>(window, "Command2")->isEnabled());
    }

    void aMissingReportFileIsNamed()
    {
        PrintFixture fixture;
        std::filesystem::remove(fixture.programFolder() + "KRLABELL.RPT");
        KRPRINT window(fixture.master(), fixture.lookup());
        window.show();
        child<QRadioButton>(window, "LASERLABEL")->click();
        child<QPushButton>(window, "Command1")->click();
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"The Report File (KRLABELL.RPT) Is Missing or Not Loading"}));
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
        KRPRINT window(fixture.master(), fixture.lookup());
        window.show();
        {
            const FileSizeLimit limit(48 * 1024);
            child<QPushButton>(window, "Command1")->click();
        }
        QCOMPARE(fixture.messageTexts(),
                 QStringList{
                     QString::fromStdString("Cannot write " + fixture.pdf() + ": File too large")});
        std::ifstream printed(fixture.pdf(), std::ios::binary);
        QCOMPARE(std::string(std::istreambuf_iterator<char>(printed), {}),
                 std::string("OLD CONTENT"));
        QVERIFY(window.isVisible());
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(fixture.temporaryFolder()))
            if (entry.path().filename().string().rfind("printed.pdf", 0) == 0)
                left.push_back(entry.path().filename().string());
        QCOMPARE(left, std::vector<std::string>{"printed.pdf"});
    }

    void noPrinterIsSaidBeforeAnyWork()
    {
        PrintFixture fixture;
        // A printer of a system without printers: PDF output to no file.
        fixture.master().printer().setOutputFormat(QPrinter::PdfFormat);
        fixture.master().printer().setOutputFileName(QString());
        KRPRINT window(fixture.master(), fixture.lookup());
        window.show();
        child<QPushButton>(window, "Command1")->click();
        QCOMPARE(fixture.messageTexts(), QStringList({PrinterOutput::missingPrinterMessage()}));
        QVERIFY(child<QLabel>(window, "Label1")->text().isEmpty());
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(KRPRINTTest)
#include "KRPRINTTest.moc"
