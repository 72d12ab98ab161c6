#include "windows/KRPRINT.h"

#include "ResultsFixture.h"
#include "support/PdfText.h"
#include "support/WriteFailure.h"
#include "windows/KRMANUAL.h"
#include "windows/PrinterOutput.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace kora;
using namespace kora::test;

namespace {

// The main window on a state, its printer writing a PDF file.
class PrinterFixture : public ResultsFixture
{
public:
    explicit PrinterFixture(const std::string& state);

    std::string pdf() const { return temporaryFolder() + "printed.pdf"; }
    void addMod(const std::string& file, const std::string& issue, const std::string& effective,
                const std::string& expire, double mod);
};

// Three Pennsylvania companies, the middle one marked Omit.
class PrintFixture : public PrinterFixture
{
public:
    PrintFixture();

    KRPRINT::Lookup lookup() const
    {
        return {"SELECT * FROM PRIME ORDER BY NAME1", QStringLiteral("BAKERS AND TOOLMAKERS"), 3};
    }
};

// Drives the print window as a user would: options are chosen by the name of
// the format, sort or output ("FULL", "LASERLABEL", "EXPIRE", "POUTPUT_1"...).
struct PrintWindow
{
    PrintWindow(PrinterFixture& fixture, const KRPRINT::Lookup& lookup)
        : window(fixture.master(), lookup)
    {
        window.show();
    }

    template <typename T> T* child(const char* name) const
    {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("the print window has no %s", name);
        return found;
    }
    void choose(const char* option) const { child<QRadioButton>(option)->click(); }
    void ok() const { child<QPushButton>("Command1")->click(); }
    QLineEdit* copies() const { return child<QLineEdit>("COPIES"); }
    QString status() const { return child<QLabel>("Label1")->text(); }

    KRPRINT window;
};

PrinterFixture::PrinterFixture(const std::string& state) : ResultsFixture(state)
{
    master().printer().setOutputFormat(QPrinter::PdfFormat);
    master().printer().setOutputFileName(QString::fromStdString(pdf()));
}

void PrinterFixture::addMod(const std::string& file, const std::string& issue,
                            const std::string& effective, const std::string& expire, double mod)
{
    db().prepare("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) "
                 "VALUES (?, '01', ?, ?, ?, ?)")
        .bindAll({file, issue, effective, expire, mod})
        .run();
}

PrintFixture::PrintFixture() : PrinterFixture("PA")
{
    addCompany("1000001", "01",
               {{"NAME1", "ZENITH TOOL"},
                {"CITY", "ERIE"},
                {"ST", "PA"},
                {"ZIP", "16501"},
                {"Omit", " "}});
    addCompany("1000002", "01", {{"NAME1", "MARKED OUT INC"}, {"Omit", "Y"}});
    addCompany("1000003", "01",
               {{"NAME1", "ACORN BAKERY"},
                {"CITY", "YORK"},
                {"ST", "PA"},
                {"ZIP", "17401"},
                {"Omit", " "}});
}

void printThrough(PrinterFixture& fixture, const KRPRINT::Lookup& lookup, const char* format,
                  const char* sort)
{
    const PrintWindow print(fixture, lookup);
    print.choose(format);
    print.choose(sort);
    print.ok();
}

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

// The print window, the pages it prints, and the other print commands: Print
// Record on the result list and the manual.
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

    void expirationSortIsByMonthAndDayWhateverTheYear()
    {
        PrintFixture fixture;
        // Zenith renews in March; the bakery at the year's end, though its newest
        // mod is older and an older one expired in January.
        fixture.addMod("1000001", "2026-01-20", "2026-03-15", "2027-03-15", 0.91);
        fixture.addMod("1000001", "2025-01-20", "2025-03-15", "2026-03-15", 0.95);
        fixture.addMod("1000003", "2024-11-20", "2024-12-31", "2025-12-31", 1.12);
        fixture.addMod("1000003", "2022-12-01", "2023-01-01", "2024-01-01", 1.05);
        // Without mods: no expiration, printed after the others.
        fixture.addCompany("1000004", "01", {{"NAME1", "BARE SHELF CO"}, {"Omit", " "}});
        printThrough(fixture, fixture.lookup(), "FULL", "EXPIRE");
        QCOMPARE(pdfPages(fixture.pdf()), 3);
        for (const auto& [page, name] :
             {std::pair{1, "ZENITH TOOL"}, {2, "ACORN BAKERY"}, {3, "BARE SHELF CO"}})
            QVERIFY2(QString::fromStdString(pdfText(fixture.pdf(), page)).contains(name), name);
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
        printThrough(fixture, fixture.lookup(), "FULL", "NAME1");
        QCOMPARE(pdfPages(fixture.pdf()), 3);
        const QString first = QString::fromStdString(pdfText(fixture.pdf(), 1));
        const QString second = QString::fromStdString(pdfText(fixture.pdf(), 2));
        QVERIFY(second.contains("ACORN BAKERY - notes continued"));
        QVERIFY(second.contains("BAKERS AND TOOLMAKERS"));
        QVERIFY(!second.contains("Mod History"));
        // Every call once, in order, over both pages (a line may end inside one).
        const QString both = (first + second).simplified();
        QStringList calls;
        for (const QRegularExpressionMatch& call :
             QRegularExpression("Call \\d+:").globalMatch(both))
            calls << call.captured();
        QCOMPARE(calls, expected);
        QVERIFY(second.contains("Call 40:"));
        QVERIFY(QString::fromStdString(pdfText(fixture.pdf(), 3)).contains("ZENITH TOOL"));
    }

    // The label after the bakery's, in points: 2-5/8" x 1" laser labels three
    // across from 3/16" and 1/2" margins with 1/8" gaps; 3-1/2" x 15/16" dot
    // matrix labels one across, 1/4" from the left, 1" from label to label.
    void aLongNameIsShrunkWholeInsideItsLabel_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QRectF>("label");
        QTest::newRow("laser") << "LASERLABEL" << QRectF(13.5 + 198, 36, 189, 72);
        QTest::newRow("dot matrix") << "DOTLABEL" << QRectF(18, 72, 252, 67.5);
    }
    void aLongNameIsShrunkWholeInsideItsLabel()
    {
        QFETCH(QString, format);
        QFETCH(QRectF, label);
        PrintFixture fixture;
        const std::string longName = "MOUNTAIN VIEW MECHANICAL CONTRACTORS INC";
        fixture.addCompany("1000004", "01",
                           {{"NAME1", longName},
                            {"STREET", "4410 INDUSTRIAL PARK BLVD"},
                            {"CITY", "HARRISBURG"},
                            {"ST", "PA"},
                            {"ZIP", "17109"},
                            {"Omit", " "}});
        printThrough(fixture, fixture.lookup(), format.toLatin1().constData(), "NAME1");
        const auto words = pdfWords(fixture.pdf(), 1);
        const auto name = wordsSpelling(words, longName);
        const auto shortName = wordsSpelling(words, "ACORN BAKERY");
        const auto street = wordsSpelling(words, "4410 INDUSTRIAL PARK BLVD");
        QVERIFY2(!name.empty() && !shortName.empty() && !street.empty(),
                 pdfText(fixture.pdf()).c_str());
        for (const PdfWord& word : name) {
            QVERIFY2(word.xMin >= label.left() && word.xMax <= label.right(), word.text.c_str());
            QVERIFY2(word.yMin >= label.top() && word.yMax <= label.bottom(), word.text.c_str());
            QCOMPARE(word.height(), name.front().height());
        }
        QVERIFY(name.front().height() < shortName.front().height() * 0.99);
        QCOMPARE(street.front().height(), shortName.front().height());
    }

    // The first company of each state has its specifics (regular expressions
    // over the first page's text), the second none.
    void newYorkAndNewJerseyDetailPages_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("NY") << "NY"
                            << QStringList{"State: NY",
                                           "FULL ADDRESS\\s+EMPIRE GLASS WORKS",
                                           "ATTN: ROSE PARK\\s+12 PIER RD\\s+BUFFALO NY 14201-3304",
                                           "REVISED\\s+Yes",
                                           "INTERSTATE\\s+No",
                                           "01/10/2025\\s+02/16/2026\\s+0\\.912",
                                           "02/13/2025\\s+0\\.947"}
                            // The lookup print leaves New York's effective dates out.
                            << QStringList{"02/15/2025", "02/14/2024", "assigned risk"};
        QTest::newRow("NJ") << "NJ"
                            << QStringList{"State: NJ",
                                           "N\\.J\\. assigned risk since 07/98",
                                           "Est\\. premium 12,500.*Total premium 14,200",
                                           "Total losses 3,100",
                                           "PPAP YES.*CCPAP NO",
                                           "01/10/2025\\s+02/15/2025\\s+02/16/2026\\s+0\\.912"}
                            << QStringList{"FULL ADDRESS", "REVISED", "0012500"};
    }
    void newYorkAndNewJerseyDetailPages()
    {
        QFETCH(QString, state);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        PrinterFixture fixture(state.toStdString());
        const std::string file = state == "NY" ? "244 88 12" : "2595735";
        fixture.addCompany(file, "01",
                           {{"NAME1", "EMPIRE GLASS WORKS"},
                            {"STREET", "12 PIER RD"},
                            {"CITY", "BUFFALO"},
                            {"ST", state.toStdString()},
                            {"ZIP", "14201"},
                            {"ZIPEXT", "3304"},
                            {"Omit", " "}});
        fixture.addCompany("9000001", "01", {{"NAME1", "ZEPHYR PLAIN CO"}, {"Omit", " "}});
        fixture.addMod(file, "2025-01-10", "2025-02-15", "2026-02-16", 0.912);
        fixture.addMod(file, "2024-01-09", "2024-02-14", "2025-02-13", 0.947);
        if (state == "NY") {
            fixture.db().execute(
                "UPDATE PRIME SET REVISED = 1, INTERSTATE = 0 WHERE NAME1 = 'EMPIRE GLASS WORKS'");
            fixture.db()
                .prepare("INSERT INTO ADDRESSES (FILE, SEQUENCE, ADDRESSES) VALUES (?, '01', ?)")
                .bindAll({file, "EMPIRE GLASS WORKS\r\nATTN: ROSE PARK\r\n12 PIER RD\r\n"
                                "BUFFALO NY 14201-3304\r\n"})
                .run();
        } else {
            fixture.db().execute("UPDATE PRIME SET NJAR = 9807, ARESTPREM = '0012500', "
                                 "ARTOTPREM = '0014200', ARTOTLOSS = '0003100', NJPPAP = 'YES', "
                                 "NJCCPAP = 'NO' WHERE NAME1 = 'EMPIRE GLASS WORKS'");
        }
        printThrough(fixture, {"SELECT * FROM PRIME ORDER BY NAME1", state + " GLASS", 2}, "FULL",
                     "NAME1");
        QCOMPARE(pdfPages(fixture.pdf()), 2);
        const QString first = QString::fromStdString(pdfText(fixture.pdf(), 1));
        for (const QString& pattern : present)
            QVERIFY2(first.contains(QRegularExpression(pattern)),
                     qPrintable(pattern + " not in\n" + first));
        for (const QString& pattern : absent)
            QVERIFY2(!first.contains(QRegularExpression(pattern)), qPrintable(pattern));
        const QString second = QString::fromStdString(pdfText(fixture.pdf(), 2));
        QVERIFY(second.contains("ZEPHYR PLAIN CO"));
        QVERIFY(!second.contains("assigned risk") && !second.contains("Yes"));
    }

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

QTEST_MAIN(KRPRINTTest)
#include "KRPRINTTest.moc"
