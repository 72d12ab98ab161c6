#include "windows/KRPRINT.h"

#include "ResultsFixture.h"
#include "support/PdfText.h"
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

using namespace kora;
using namespace kora::test;

namespace {

// The main window on a state, its printer writing a PDF file.
class PrinterFixture : public ResultsFixture
{
public:
    explicit PrinterFixture(const std::string& state) : ResultsFixture(state)
    {
        master().printer().setOutputFormat(QPrinter::PdfFormat);
        master().printer().setOutputFileName(QString::fromStdString(pdf()));
    }
    std::string pdf() const { return temporaryFolder() + "printed.pdf"; }
    void addMod(const std::string& file, const std::string& issue, const std::string& effective,
                const std::string& expire, double mod)
    {
        db().prepare("INSERT INTO MODS (FILE, SEQUENCE, ISSUE, EFFECTIVE, EXPIRE, MOD) "
                     "VALUES (?, '01', ?, ?, ?, ?)")
            .bindAll({file, issue, effective, expire, mod})
            .run();
    }
};

// Three Pennsylvania companies, the middle one marked Omit.
class PrintFixture : public PrinterFixture
{
public:
    PrintFixture() : PrinterFixture("PA")
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
    KRPRINT::Lookup lookup() const
    {
        return {"SELECT * FROM PRIME ORDER BY NAME1", QStringLiteral("BAKERS AND TOOLMAKERS"), 3};
    }
};

template <typename T> T* child(QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Prints the lookup through the window in a format, sorted by a field.
void printThrough(PrinterFixture& fixture, const KRPRINT::Lookup& lookup, const char* format,
                  const char* sort)
{
    KRPRINT window(fixture.master(), lookup);
    window.show();
    child<QRadioButton>(window, format)->click();
    child<QRadioButton>(window, sort)->click();
    child<QPushButton>(window, "Command1")->click();
}

// The words of a page that spell the text one after another; empty when none do.
std::vector<PdfWord> wordsSpelling(const std::vector<PdfWord>& words, const QString& text)
{
    const QStringList wanted = text.split(QLatin1Char(' '));
    for (size_t first = 0; first + wanted.size() <= words.size(); ++first) {
        size_t n = 0;
        while (n < size_t(wanted.size()) &&
               QString::fromStdString(words[first + n].text) == wanted[int(n)])
            ++n;
        if (n == size_t(wanted.size()))
            return {words.begin() + long(first), words.begin() + long(first + n)};
    }
    return {};
}

} // namespace

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
        const QStringList order = {"ZENITH TOOL", "ACORN BAKERY", "BARE SHELF CO"};
        for (int page = 1; page <= 3; ++page) {
            const std::string text = pdfText(fixture.pdf(), page);
            QVERIFY2(QString::fromStdString(text).contains(order[page - 1]), text.c_str());
        }
    }

    void aLongNoteGoesOnToAPageNamingItsCompany()
    {
        PrintFixture fixture;
        std::string note;
        for (int n = 1; n <= 40; ++n)
            note += "Call " + std::to_string(n) +
                    ": the owner asked for a quote before the renewal and a copy of the loss "
                    "runs for the last three years. ";
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
        qsizetype at = 0;
        for (int n = 1; n <= 40; ++n) {
            const QString call = QString("Call %1:").arg(n);
            QCOMPARE(both.count(call), 1);
            QVERIFY2(both.indexOf(call) > at, qPrintable(call));
            at = both.indexOf(call);
        }
        QVERIFY(first.contains("Call 1:") && second.contains("Call 40:"));
        QVERIFY(QString::fromStdString(pdfText(fixture.pdf(), 3)).contains("ZENITH TOOL"));
    }

    // Label geometry in points: the first label's left and top edges, the
    // steps to the next column and row, and a label's width and height.
    void aLongNameIsShrunkWholeInsideItsLabel_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("columnStep");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("rowStep");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        // 3/16" side margin, 2-5/8" x 1" labels, 1/8" gaps, 0.5" top margin.
        QTest::newRow("laser") << "LASERLABEL" << 13.5 << 198.0 << 189.0 << 36.0 << 72.0 << 72.0
                               << 1 << 0;
        // One across, 3-1/2" x 15/16", 1" from label to label, 1/4" left margin.
        QTest::newRow("dot matrix")
            << "DOTLABEL" << 18.0 << 0.0 << 252.0 << 0.0 << 72.0 << 67.5 << 0 << 1;
    }
    void aLongNameIsShrunkWholeInsideItsLabel()
    {
        QFETCH(QString, format);
        QFETCH(double, left);
        QFETCH(double, columnStep);
        QFETCH(double, width);
        QFETCH(double, top);
        QFETCH(double, rowStep);
        QFETCH(double, height);
        QFETCH(int, column);
        QFETCH(int, row);
        PrintFixture fixture;
        const QString longName = "MOUNTAIN VIEW MECHANICAL CONTRACTORS INC";
        fixture.addCompany("1000004", "01",
                           {{"NAME1", longName.toStdString()},
                            {"STREET", "4410 INDUSTRIAL PARK BLVD"},
                            {"CITY", "HARRISBURG"},
                            {"ST", "PA"},
                            {"ZIP", "17109"},
                            {"Omit", " "}});
        printThrough(fixture, fixture.lookup(), format.toLatin1().constData(), "NAME1");
        const auto words = pdfWords(fixture.pdf(), 1);
        const auto name = wordsSpelling(words, longName);
        const auto shortName = wordsSpelling(words, "ACORN BAKERY");
        QVERIFY2(!name.empty(), pdfText(fixture.pdf()).c_str());
        QVERIFY(!shortName.empty());
        // Second by name: the label after the bakery's.
        const double labelLeft = left + column * columnStep;
        const double labelTop = top + row * rowStep;
        for (const PdfWord& word : name) {
            QVERIFY2(word.xMin >= labelLeft && word.xMax <= labelLeft + width, word.text.c_str());
            QVERIFY2(word.yMin >= labelTop && word.yMax <= labelTop + height, word.text.c_str());
            QCOMPARE(word.height(), name.front().height());
        }
        QVERIFY(name.front().height() < shortName.front().height() * 0.99);
        // The street below it keeps the label's size.
        const auto street = wordsSpelling(words, "4410 INDUSTRIAL PARK BLVD");
        QVERIFY(!street.empty());
        QCOMPARE(street.front().height(), shortName.front().height());
    }

    // The first company of each state has its specifics, the second none.
    // Patterns are regular expressions over the first page's layout text.
    void newYorkAndNewJerseyDetailPages_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("NY") << "NY"
                            << QStringList{"State: NY",
                                           "FULL ADDRESS\\s+EMPIRE GLASS WORKS",
                                           "ATTN: ROSE PARK",
                                           "12 PIER RD",
                                           "BUFFALO NY 14201-3304",
                                           "REVISED\\s+Yes",
                                           "INTERSTATE\\s+No",
                                           "01/10/2025\\s+02/16/2026\\s+0\\.912",
                                           "02/13/2025\\s+0\\.947"}
                            // The lookup print leaves New York's effective dates out.
                            << QStringList{"02/15/2025", "02/14/2024", "assigned risk"};
        QTest::newRow("NJ") << "NJ"
                            << QStringList{"State: NJ",
                                           "N\\.J\\. assigned risk since 07/98",
                                           "Est\\. premium 12,500",
                                           "Total premium 14,200",
                                           "Total losses 3,100",
                                           "PPAP YES",
                                           "CCPAP NO",
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
        for (const char* specific : {"assigned risk", "ROSE PARK", "Yes"})
            QVERIFY2(!second.contains(specific), specific);
    }
};

QTEST_MAIN(KRPRINTTest)
#include "KRPRINTTest.moc"
