#include "windows/KRPRINT.h"

#include "ResultsFixture.h"
#include "support/PdfText.h"
#include "support/WriteFailure.h"
#include "windows/KRMANUAL.h"
#include "windows/PrinterOutput.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>

#include <filesystem>
#include <fstream>

using namespace kora;
using namespace kora::test;

namespace {

// Three companies, the middle one marked Omit, and the main window's printer
// writing a PDF file.
class PrintFixture : public ResultsFixture
{
public:
    explicit PrintFixture(const std::string& state = "PA") : ResultsFixture(state)
    {
        master().printer().setOutputFormat(QPrinter::PdfFormat);
        master().printer().setOutputFileName(QString::fromStdString(pdf()));
        const char* companies[][5] = {{"1000001", "ZENITH TOOL", "ERIE", "16501", " "},
                                      {"1000002", "MARKED OUT INC", "ERIE", "16502", "Y"},
                                      {"1000003", "ACORN BAKERY", "YORK", "17401", " "}};
        for (const auto& [file, name, city, zip, omit] : companies)
            addCompany(file, "01", "NAME1, NameSort, CITY, ST, ZIP, Omit",
                       {name, name, city, "PA", zip, omit});
    }

    std::string pdf() const { return temporaryFolder() + "printed.pdf"; }
    QString page(int number) const { return QString::fromStdString(pdfText(pdf(), number)); }
    KRPRINT::Lookup everyone() const
    {
        return {"SELECT * FROM PRIME ORDER BY NAME1", QStringLiteral("BAKERS AND TOOLMAKERS"), 3};
    }
    // The result list on a lookup tab of Erie's zip codes.
    void showErieLookup()
    {
        std::ofstream(programFolder() + "INITIAL/SEARCH1.KRD", std::ios::binary)
            << "\"ERIE ZIPS\",\"Zip Code\",\"16500\",\"16599\",\"ZIP\",#FALSE#\r\n";
        list().show();
        list().SETTABS();
        list().selectTab(1);
    }
};

// Drives the print window as a user would: options are chosen by the name of
// the format, sort or output ("FULL", "LASERLABEL", "EXPIRE", "POUTPUT_1"...).
struct PrintWindow
{
    PrintWindow(PrintFixture& fixture, const KRPRINT::Lookup& lookup)
        : window(fixture.master(), lookup)
    {
        window.show();
    }

    template <typename T> T* child(const char* name) const { return named<T>(&window, name); }
    void choose(const char* option) const { child<QRadioButton>(option)->click(); }
    void ok() const { child<QPushButton>("Command1")->click(); }
    QLineEdit* copies() const { return child<QLineEdit>("COPIES"); }
    QString status() const { return child<QLabel>("Label1")->text(); }

    KRPRINT window;
};

void print(PrintFixture& fixture, const char* format, const char* sort,
           const KRPRINT::Lookup& lookup)
{
    const PrintWindow print(fixture, lookup);
    print.choose(format);
    print.choose(sort);
    print.ok();
}

} // namespace

// The print window, the pages it prints, and the other print commands: Print
// Record on the result list and the manual.
class KRPRINTTest : public QObject
{
    Q_OBJECT

private slots:
    void copiesTakeDigitsAndEachShowingStartsOverOnDetailAndOneCopy()
    {
        PrintFixture fixture;
        int offered = 0;
        Dialogs::setPrinterScript([&offered](QPrinter& printer) {
            offered = printer.copyCount();
            printer.setCopyCount(3);
            return true;
        });
        PrintWindow print(fixture, fixture.everyone());
        for (const auto& [typed, kept] :
             {std::pair<QString, QString>{"2a", "2"}, {"-1 +2.", "12"}, {"12345", "123"}}) {
            print.copies()->clear();
            QTest::keyClicks(print.copies(), typed);
            QCOMPARE(print.copies()->text(), kept);
        }
        QTest::keyClick(print.copies(), Qt::Key_Backspace);
        QCOMPARE(print.copies()->text(), QString("12"));
        // Printer Setup starts from the copies typed and sets them.
        print.child<QPushButton>("SETUPCMD")->click();
        Dialogs::setPrinterScript({});
        QCOMPARE(offered, 12);
        QCOMPARE(print.window.copies(), 3);
        print.choose("SUMMARY");
        print.window.hide();
        print.window.show();
        QCOMPARE(print.window.format(), PrintRun::Format::Detail);
        QCOMPARE(print.window.copies(), 1);
        print.child<QPushButton>("Command2")->click();
        QCOMPARE(print.window.result(), int(QDialog::Rejected));
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    // The summary goes to the printer without the omitted company; the preview
    // is owned by the main window and shows no printer settings.
    void summaryOnThePrinterAndThePreview()
    {
        PrintFixture fixture;
        const PrintWindow print(fixture, fixture.everyone());
        print.choose("SUMMARY");
        print.ok();
        QVERIFY(!print.window.isVisible());
        QVERIFY(fixture.messageTexts().isEmpty());
        QCOMPARE(print.status(), QString("Gathering information on 3 companies"));
        QCOMPARE(print.child<QLineEdit>("SHOWCOUNT")->text(), QString("2"));
        const QString text = fixture.page(0);
        QCOMPARE(pdfPages(fixture.pdf()), 1);
        for (const char* shown : {"BAKERS AND TOOLMAKERS", "State: PA", "ERIE, PA 16501"})
            QVERIFY2(text.contains(shown), qPrintable(text));
        QVERIFY(!text.contains("MARKED OUT"));
        QVERIFY(text.indexOf("ACORN BAKERY") < text.indexOf("ZENITH TOOL"));
        // The report's sheet does not stay on the user's printer.
        QCOMPARE(fixture.master().printer().copyCount(), 1);

        std::filesystem::remove(fixture.pdf());
        const PrintWindow preview(fixture, fixture.everyone());
        preview.choose("POUTPUT_1");
        for (const char* name : {"COPIES", "LCOPIES", "SETUPCMD"})
            QVERIFY2(preview.child<QWidget>(name)->isHidden(), name);
        int pages = -1;
        QWidget* owner = nullptr;
        fixture.onModal<QPrintPreviewDialog>([&](QPrintPreviewDialog* shown) {
            owner = shown->parentWidget();
            auto* pagesShown = shown->findChild<QPrintPreviewWidget*>();
            pagesShown->updatePreview();
            pages = pagesShown->pageCount();
            shown->reject();
        });
        preview.ok();
        QCOMPARE(owner, static_cast<QWidget*>(&fixture.master()));
        QCOMPARE(pages, 2);
        QVERIFY(!preview.window.isVisible());
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void eachSortOrdersTheDetailPages()
    {
        PrintFixture fixture;
        // Zenith renews in March; the bakery at the year's end, though its newest
        // mod is older and an older one expired in January.
        fixture.db().execute(
            "INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) VALUES "
            "('1000001', '01', '2026-01-20', '2026-03-15', '2027-03-15', 0.91), "
            "('1000001', '01', '2025-01-20', '2025-03-15', '2026-03-15', 0.95), "
            "('1000003', '01', '2024-11-20', '2024-12-31', '2025-12-31', 1.12), "
            "('1000003', '01', '2022-12-01', '2023-01-01', '2024-01-01', 1.05)");
        // Without mods: no expiration, printed after the others.
        fixture.addCompany("1000004", "01", "NAME1, ZIP, Omit", {"BARE SHELF CO", "15001", " "});
        const QStringList names = {"ACORN BAKERY", "BARE SHELF CO", "ZENITH TOOL"};
        const std::pair<const char*, QStringList> orders[] = {
            {"NAME1", names},
            {"ZIP", {"BARE SHELF CO", "ZENITH TOOL", "ACORN BAKERY"}},
            {"EXPIRE", {"ZENITH TOOL", "ACORN BAKERY", "BARE SHELF CO"}}};
        for (const auto& [sort, order] : orders) {
            print(fixture, "FULL", sort, fixture.everyone());
            QStringList printed;
            for (int page = 1; page <= pdfPages(fixture.pdf()); ++page)
                for (const QString& name : names)
                    if (fixture.page(page).contains(name))
                        printed << name;
            QCOMPARE(printed, order);
        }
    }

    // A missing file or printer is said before anything is printed, and the window stays.
    void aMissingFileOrPrinterIsSaidAndTheWindowStays()
    {
        const char* cases[][3] = {
            {"REPORT.MDB", "FULL", "KRPRINT CMD1 CANNOT FIND SYSTEM DIRECTORY!"},
            {"KRLABELL.RPT", "LASERLABEL",
             "The Report File (KRLABELL.RPT) Is Missing or Not Loading"},
            // A printer of a system without printers: PDF output to no file.
            {"", "FULL", nullptr}};
        for (const auto& [removed, format, message] : cases) {
            PrintFixture fixture;
            if (message)
                std::filesystem::remove(fixture.programFolder() + removed);
            else
                fixture.master().printer().setOutputFileName(QString());
            const PrintWindow print(fixture, fixture.everyone());
            print.choose(format);
            print.ok();
            QCOMPARE(fixture.messageTexts(),
                     QStringList{message ? message : PrinterOutput::missingPrinterMessage()});
            QVERIFY(print.window.isVisible());
            QVERIFY(!std::filesystem::exists(fixture.pdf()));
            QVERIFY(message || print.status().isEmpty());
        }
    }

    void aFullDiskKeepsTheOldPdfAndSaysWhy()
    {
        PrintFixture fixture;
        // Enough pages for a PDF larger than the limit, which the scratch database is not.
        for (int i = 0; i < 40; ++i)
            fixture.addCompany(std::to_string(2000000 + i), "01", "NAME1, Omit",
                               {"FILLER " + std::to_string(i), " "});
        std::ofstream(fixture.pdf(), std::ios::binary) << "OLD CONTENT";
        const PrintWindow print(fixture, fixture.everyone());
        {
            const FileSizeLimit limit(48 * 1024);
            print.ok();
        }
        QCOMPARE(fixture.messageTexts(),
                 QStringList{
                     QString::fromStdString("Cannot write " + fixture.pdf() + ": File too large")});
        QCOMPARE(bytesOf(fixture.pdf()), std::string("OLD CONTENT"));
        QVERIFY(print.window.isVisible());
        QCOMPARE(QDir(QString::fromStdString(fixture.temporaryFolder()))
                     .entryList({"*printed.pdf*"}, QDir::Files | QDir::Hidden),
                 QStringList{"printed.pdf"});
    }

    void aLongNoteGoesOnToAPageNamingItsCompany()
    {
        PrintFixture fixture;
        std::string note;
        QStringList expected;
        for (int n = 1; n <= 40; ++n) {
            expected << QString("Call %1:").arg(n);
            note += expected.last().toStdString() +
                    " the owner asked for a quote before the renewal and a copy of the loss "
                    "runs for the last three years. ";
        }
        fixture.db()
            .prepare("UPDATE NOTES SET NOTES = ? WHERE FILE = '1000003'")
            .bind(1, Value(note))
            .run();
        print(fixture, "FULL", "NAME1", fixture.everyone());
        QCOMPARE(pdfPages(fixture.pdf()), 3);
        const QString second = fixture.page(2);
        QVERIFY(second.contains("ACORN BAKERY - notes continued"));
        QVERIFY(second.contains("BAKERS AND TOOLMAKERS"));
        QVERIFY(!second.contains("Mod History"));
        // Every call once, in order, over both pages (a line may end inside one).
        QStringList calls;
        for (const QRegularExpressionMatch& call :
             QRegularExpression("Call \\d+:").globalMatch((fixture.page(1) + second).simplified()))
            calls << call.captured();
        QCOMPARE(calls, expected);
        QVERIFY(second.contains("Call 40:"));
        QVERIFY(fixture.page(3).contains("ZENITH TOOL"));
    }

    // The label after the bakery's, in points: 2-5/8" x 1" laser labels three
    // across from 3/16" and 1/2" margins with 1/8" gaps; 3-1/2" x 15/16" dot
    // matrix labels one across, 1/4" from the left, 1" from label to label.
    void aLongNameIsShrunkWholeInsideItsLabel()
    {
        PrintFixture fixture;
        const std::string longName = "MOUNTAIN VIEW MECHANICAL CONTRACTORS INC";
        fixture.addCompany(
            "1000004", "01", "NAME1, STREET, CITY, ST, ZIP, Omit",
            {longName, "4410 INDUSTRIAL PARK BLVD", "HARRISBURG", "PA", "17109", " "});
        const std::pair<const char*, QRectF> labels[] = {
            {"LASERLABEL", QRectF(13.5 + 198, 36, 189, 72)},
            {"DOTLABEL", QRectF(18, 72, 252, 67.5)}};
        for (const auto& [format, label] : labels) {
            print(fixture, format, "NAME1", fixture.everyone());
            const auto words = pdfWords(fixture.pdf(), 1);
            const auto name = wordsSpelling(words, longName);
            const auto shortName = wordsSpelling(words, "ACORN BAKERY");
            const auto street = wordsSpelling(words, "4410 INDUSTRIAL PARK BLVD");
            QVERIFY2(!name.empty() && !shortName.empty() && !street.empty(), format);
            for (const PdfWord& word : name) {
                QVERIFY2(word.xMin >= label.left() && word.xMax <= label.right(), format);
                QVERIFY2(word.yMin >= label.top() && word.yMax <= label.bottom(), format);
                QCOMPARE(word.height(), name.front().height());
            }
            QVERIFY(name.front().height() < shortName.front().height() * 0.99);
            QCOMPARE(street.front().height(), shortName.front().height());
        }
    }

    // The first company of each state has its specifics (regular expressions
    // over the first page's text), the second none.
    void newYorkAndNewJerseyDetailPages()
    {
        const struct
        {
            std::string state, file;
            QStringList present, absent;
        } cases[] = {
            {"NY",
             "244 88 12",
             {"State: NY", "FULL ADDRESS\\s+EMPIRE GLASS WORKS",
              "ATTN: ROSE PARK\\s+12 PIER RD\\s+BUFFALO NY 14201-3304", "REVISED\\s+Yes",
              "INTERSTATE\\s+No", "01/10/2025\\s+02/16/2026\\s+0\\.912", "02/13/2025\\s+0\\.947"},
             // The lookup print leaves New York's effective dates out.
             {"02/15/2025", "02/14/2024", "assigned risk"}},
            {"NJ",
             "2595735",
             {"State: NJ", "N\\.J\\. assigned risk since 07/98",
              "Est\\. premium 12,500.*Total premium 14,200", "Total losses 3,100",
              "PPAP YES.*CCPAP NO", "01/10/2025\\s+02/15/2025\\s+02/16/2026\\s+0\\.912"},
             {"FULL ADDRESS", "REVISED", "0012500"}}};
        for (const auto& [state, file, present, absent] : cases) {
            PrintFixture fixture(state);
            fixture.addCompany(
                file, "01", "NAME1, STREET, CITY, ST, ZIP, ZIPEXT, Omit",
                {"EMPIRE GLASS WORKS", "12 PIER RD", "BUFFALO", state, "14201", "3304", " "});
            fixture.db()
                .prepare("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) VALUES "
                         "(?1, '01', '2025-01-10', '2025-02-15', '2026-02-16', 0.912), (?1, "
                         "'01', '2024-01-09', '2024-02-14', '2025-02-13', 0.947)")
                .bind(1, Value(file))
                .run();
            if (state == "NY") {
                fixture.db().execute("UPDATE PRIME SET REVISED = 1, INTERSTATE = 0 WHERE NAME1 = "
                                     "'EMPIRE GLASS WORKS'");
                fixture.db()
                    .prepare(
                        "INSERT INTO ADDRESSES (FILE, SEQUENCE, ADDRESSES) VALUES (?, '01', ?)")
                    .bindAll({file, "EMPIRE GLASS WORKS\r\nATTN: ROSE PARK\r\n12 PIER RD\r\n"
                                    "BUFFALO NY 14201-3304\r\n"})
                    .run();
            } else {
                fixture.db().execute("UPDATE PRIME SET NJAR = 9807, ARESTPREM = '0012500', "
                                     "ARTOTPREM = '0014200', ARTOTLOSS = '0003100', NJPPAP = "
                                     "'YES', NJCCPAP = 'NO' WHERE NAME1 = 'EMPIRE GLASS WORKS'");
            }
            // Empire, then Zenith: the bakery is left out and the third company is omitted.
            print(fixture, "FULL", "NAME1",
                  {"SELECT * FROM PRIME WHERE FILE <> '1000003' ORDER BY NAME1",
                   QString::fromStdString(state + " GLASS"), 3});
            QCOMPARE(pdfPages(fixture.pdf()), 2);
            const QString first = fixture.page(1);
            for (const QString& pattern : present)
                QVERIFY2(first.contains(QRegularExpression(pattern)),
                         qPrintable(pattern + " not in\n" + first));
            for (const QString& pattern : absent)
                QVERIFY2(!first.contains(QRegularExpression(pattern)), qPrintable(pattern));
            const QString second = fixture.page(2);
            QVERIFY(second.contains("ZENITH TOOL"));
            QVERIFY(!second.contains("assigned risk") && !second.contains("Yes"));
        }
    }

    // Print Search prints the lookup tab shown; Print Record the selected company even if omitted.
    void theLookupAndTheRecordOnScreenAreWhatIsPrinted()
    {
        PrintFixture fixture;
        fixture.showErieLookup();
        const KRPRINT::Lookup lookup = fixture.list().lookupToPrint();
        QCOMPARE(lookup.title, QString("ERIE ZIPS"));
        QCOMPARE(lookup.count, 2);
        QVERIFY(QString::fromStdString(lookup.recordSource).contains("ORDER BY"));
        PrintWindow(fixture, lookup).ok();
        QString text = fixture.page(0);
        QCOMPARE(pdfPages(fixture.pdf()), 1);
        QVERIFY2(text.contains("ZENITH TOOL") && text.contains("ERIE ZIPS"), qPrintable(text));
        QVERIFY(!text.contains("MARKED OUT"));

        auto* grid = fixture.list().findChild<QTableView*>("TDBGrid4");
        const auto printRecord = [&](int row) {
            grid->setCurrentIndex(grid->model()->index(row, 2));
            named<QPushButton>(&fixture.list(), "PRINTCUR")->click();
        };
        printRecord(0); // by name: MARKED OUT INC, marked Omit
        QVERIFY(fixture.messageTexts().isEmpty());
        text = fixture.page(0);
        QCOMPARE(pdfPages(fixture.pdf()), 1);
        for (const char* shown : {"MARKED OUT INC", "Print Record", "State: PA"})
            QVERIFY2(text.contains(shown), qPrintable(text));

        std::filesystem::remove(fixture.pdf());
        std::filesystem::remove(fixture.programFolder() + "REPORT.MDB");
        printRecord(1);
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"KRLIST PRINTCUR CANNOT FIND SYSTEM DIRECTORY!"}));
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }

    void printManualPrintsTheManualLineByLineOverPages()
    {
        PrintFixture fixture;
        QString status;
        fixture.onModal<KRMANUAL>([&status](KRMANUAL* window) {
            named<QPushButton>(window, "OK")->click();
            status = window->isVisible() ? "still open" : named<QLabel>(window, "Label2")->text();
            window->reject();
        });
        fixture.master().enableCommand(Command::PrintManualButton, true);
        const auto printManual = [&] {
            fixture.master().findChild<QAction*>("SSRibbon1_6")->trigger();
            return status;
        };
        // 130 lines, the last without a line break: three pages of 60 lines at most.
        {
            std::ofstream manual(fixture.programFolder() + "MANUAL.TXT", std::ios::binary);
            for (int n = 1; n < 130; ++n)
                manual << "Manual line " << n << "\r\n";
            manual << "The last line";
        }
        QCOMPARE(printManual(), QString("Printing Manual..."));
        const QString text = fixture.page(0);
        QCOMPARE(pdfPages(fixture.pdf()), 3);
        for (const char* line : {"Manual line 1\n", "Manual line 129", "The last line"})
            QVERIFY2(text.contains(line), line);

        std::filesystem::remove(fixture.pdf());
        std::filesystem::remove(fixture.programFolder() + "MANUAL.TXT");
        QCOMPARE(printManual(), QString("still open"));
        QCOMPARE(fixture.messageTexts(),
                 QStringList({KRMANUAL::missingManualMessage(
                     QString::fromStdString(fixture.programFolder() + "MANUAL.TXT"))}));
        QVERIFY(!std::filesystem::exists(fixture.pdf()));
    }
};

QTEST_MAIN(KRPRINTTest)
#include "KRPRINTTest.moc"
