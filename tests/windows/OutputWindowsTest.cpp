#include "ResultsFixture.h"

#include "lookup/Criteria.h"
#include "support/BreakdownDatabase.h"
#include "support/PdfText.h"
#include "support/WriteFailure.h"
#include "upgrade/ZipBuilder.h"
#include "windows/BreakdownWindow.h"
#include "windows/KREXPORT.h"
#include "windows/KRMANUAL.h"
#include "windows/KRNOTES.h"
#include "windows/KRPRINT.h"
#include "windows/KRUPGRD.h"
#include "windows/LiveCountLabel.h"
#include "windows/ModChart.h"
#include "windows/PrinterOutput.h"

#include <QBarSet>
#include <QClipboard>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QLineSeries>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressBar>
#include <QRegularExpression>
#include <QValueAxis>

#include <filesystem>
#include <fstream>

using namespace kora;
using namespace kora::test;
using namespace std::chrono_literals;

namespace {

std::vector<ResultListData::Mod>
modsNewestFirst(const std::vector<std::pair<const char*, double>>& mods)
{
    std::vector<ResultListData::Mod> list;
    for (const auto& [effective, mod] : mods)
        list.push_back({effective, effective, effective, Value(mod)});
    return list;
}

qreal day(const char* date)
{
    return static_cast<qreal>(QDate::fromString(QString::fromLatin1(date), Qt::ISODate)
                                  .startOfDay(Qt::UTC)
                                  .toMSecsSinceEpoch());
}

QList<qreal> values(const QBarSet* bars)
{
    QList<qreal> list;
    for (int i = 0; i < bars->count(); ++i)
        list << bars->at(i);
    return list;
}

const std::string kOneCompany = "SELECT * FROM PRIME WHERE FILE = '0000001' AND SEQUENCE = '01'";

// Drives the export window as a user would. Layouts go by their place in the
// export code: 0 comma, 1 tab, 2 fixed length, 3 limited fields, 4 workbook.
struct ExportWindow
{
    KREXPORT* window;

    template <typename T> T* child(const char* name) const { return named<T>(window, name); }
    void chooseLayout(int layout) const
    {
        for (auto* option : window->findChildren<QRadioButton*>("EXPTFORM"))
            if (option->property("index").toInt() == layout)
                option->click();
    }
    void ok() const { child<QPushButton>("Command1")->click(); }
    bool shown() const { return window->isVisible(); }
};

// Ten Pennsylvania companies, the first with two mods; the save dialog
// answers chosenFile (a cancel when empty) and keeps what it was asked.
class ExportFixture : public ResultsFixture
{
public:
    ExportFixture() : ResultsFixture("PA")
    {
        addCompany("0000001", "01",
                   "NAME1, NAMESORT, STREET, CITY, ST, ZIP, ZIPEXT, PHONE, SIC, Omit",
                   {"ACME WIDGET CO", "ACME WIDGET CO", " 1 MAIN ST", "PITTSBURGH", "PA", "15001",
                    "", "412-555-0100 ", "0795", " "});
        for (int i = 2; i <= 10; ++i)
            addCompany(QString::number(i).rightJustified(7, '0').toStdString(), "01", "NAME1, Omit",
                       {"OTHER", " "});
        db().execute("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES "
                     "('0000001', '01', '2026-03-15', '2026-03-15', 0.95), "
                     "('0000001', '01', '2025-03-15', '1950-01-01', 1.1)");
        Dialogs::setFileScript([this](const Dialogs::FileRequest& request) {
            asked.push_back(request);
            if (chosenFile.isEmpty())
                return Dialogs::FileAnswer{};
            return Dialogs::FileAnswer{true, {chosenFile}, request.filterIndex};
        });
    }
    ~ExportFixture() { Dialogs::setFileScript({}); }

    ExportWindow open(int layout, const std::string& source = kOneCompany)
    {
        m_window = std::make_unique<KREXPORT>(master(), source, QStringLiteral("Acme"));
        m_window->show();
        const ExportWindow window{m_window.get()};
        window.chooseLayout(layout);
        return window;
    }
    void choose(const QString& name, const char* content = nullptr)
    {
        chosenFile = QString::fromStdString(programFolder()) + name;
        QFile old(chosenFile);
        if (content)
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write(content) > 0);
    }
    QByteArray chosenBytes() const
    {
        QFile file(chosenFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    QList<Dialogs::FileRequest> asked;
    QString chosenFile;

private:
    std::unique_ptr<KREXPORT> m_window;
};

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

// Two Pennsylvania companies with blank notes and user fields, and folder
// choosers answered by script: each answer is the next queued folder, or a
// cancel when none is left.
class NotesFixture : public ResultsFixture
{
public:
    NotesFixture() : ResultsFixture("PA")
    {
        for (const char* file : {"100001", "100002"})
            addCompany(file, "00", "NAME1, User1, User2, User3, Omit",
                       {"Acme", " ", " ", " ", " "});
        Dialogs::setFileScript([this](const Dialogs::FileRequest& request) {
            requests.append(request);
            if (folders.isEmpty())
                return Dialogs::FileAnswer{};
            return Dialogs::FileAnswer{true, {folders.takeFirst()}, 0};
        });
    }
    ~NotesFixture() { Dialogs::setFileScript({}); }

    std::string localBackup() const { return programFolder() + "BACKUPPA.MDB"; }
    QString temporary() const { return QString::fromStdString(temporaryFolder()); }
    void set(const char* table, const char* column, const char* file, const std::string& value)
    {
        db().prepare(std::string("UPDATE ") + table + " SET " + column + " = ? WHERE FILE = ?")
            .bindAll({value, file})
            .run();
    }

    QStringList folders;
    QList<Dialogs::FileRequest> requests;
};

// Drives the backup window as a user would: option 1 backs up, 2 restores, 3 merges.
struct BackupWindow
{
    explicit BackupWindow(MASTER& master) : window(master) { window.show(); }

    QCheckBox* otherFolder() const { return named<QCheckBox>(&window, "Check1"); }
    bool folderShown() const { return named<QLineEdit>(&window, "Dir1")->isVisible(); }
    void choose(int option) const
    {
        named<QRadioButton>(&window, ("Option" + std::to_string(option)).c_str())->click();
    }
    void tick() const { otherFolder()->click(); }
    void ok() const { named<QPushButton>(&window, "OK")->click(); }

    KRNOTES window;
};

} // namespace

// The windows that print, export, back up, chart and upgrade.
class OutputWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    // The window starts in the home folder and keeps it when a missing one is
    // chosen; Cancel leaves without starting any work.
    void startsInTheHomeFolderRefusesAMissingOneAndCancelLeaves()
    {
        WindowFixture fixture;
        KRUPGRD window(nullptr, fixture.programFolder(), {});
        const QString missing = QDir::homePath() + "/no such folder";
        window.setFolder(missing);
        QCOMPARE(fixture.messageTexts(), QStringList({"Error Reading Drive " + missing}));
        QCOMPARE(window.folder(), QDir::homePath());
        window.show();
        named<QPushButton>(&window, "Command2")->click();
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QVERIFY(!window.workStarted());
    }

    void startInstallsOnlyAGoodArchiveAndAsksForTheState()
    {
        WindowFixture fixture;
        TempFolder source;
        bool released = false;
        KRUPGRD window(nullptr, fixture.programFolder(), [&released] { released = true; });
        window.show();
        window.setFolder(QString::fromStdString(source.path()));
        const QString shown = window.folder();
        QCOMPARE(shown + '/', QString::fromStdString(source.path()));
        const auto start = [&window] { named<QPushButton>(&window, "Command1")->click(); };
        start();
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"The KORA*.ZIP file was not found in the directory (" + shown +
                              ")  Please select the correct path and try again."}));
        QVERIFY(window.isVisible());
        QCOMPARE(window.ending(), SelfUpgrade::Ending::NoArchive);
        QVERIFY(!released);

        writeFile(source.file("KORA1.ZIP"), "not a zip");
        start();
        QCOMPARE(fixture.messageTexts().size(), 2);
        QVERIFY(fixture.messageTexts().last().endsWith("Technical Support. (19)"));
        QVERIFY(window.isVisible());
        QCOMPARE(window.ending(), SelfUpgrade::Ending::NothingInstalled);
        QCOMPARE(named<QProgressBar>(&window, "status1")->value(), 0);

        ZipBuilder::write(source.file("KORA1.ZIP"), {{"KORA.HLP", "new help"}});
        start();
        QVERIFY(released);
        QCOMPARE(fileBytes(fixture.programFolder() + "KORA.HLP"), std::string("new help"));
        QCOMPARE(fixture.messageTexts().last(), QString("Upgrade complete.  Select State!"));
        QCOMPARE(window.ending(), SelfUpgrade::Ending::SelectState);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(named<QLabel>(&window, "Label1")->isHidden());
    }

    void saysCountingWhileACountTakesLong()
    {
        BreakdownDatabase state;
        // A count that settles longer than the editor waits before it says so.
        LiveCountLabel label(state.db(), nullptr, 1500ms);
        label.countFor({kora::test::criterion(FieldCatalogue::County, "101", "101")});
        QCOMPARE(label.text(), QString());
        QTRY_COMPARE_WITH_TIMEOUT(label.text(), QStringLiteral("Counting\u2026"), 1200);
        QTRY_COMPARE(label.text(), QStringLiteral("3 companies match"));
    }

    void drawsTheModsOldestFirstWithALineAtOne()
    {
        ModChart chart;
        chart.setMods(modsNewestFirst({{"2026-07-01", 1.046},
                                       {"2025-07-01", 1.0},
                                       {"2024-07-01", 9.886},
                                       {"2023-07-01", 0.88}}));
        // The merit code is no mod; the newest stands at the right.
        QCOMPARE(chart.mods()->points(), (QList<QPointF>{{day("2023-07-01"), 0.88},
                                                         {day("2025-07-01"), 1.0},
                                                         {day("2026-07-01"), 1.046}}));
        QCOMPARE(chart.averageLine()->points(),
                 (QList<QPointF>{{day("2023-07-01"), 1.0}, {day("2026-07-01"), 1.0}}));
        QCOMPARE(QPointF(chart.modAxis()->min(), chart.modAxis()->max()), QPointF(0.7, 1.2));
        QCOMPARE(chart.chart()->title(), QString());
        chart.setMods({});
        QCOMPARE(chart.mods()->count(), 0);
        QCOMPARE(chart.chart()->title(), QStringLiteral("No mods on file"));
    }
    void countsEachGroupingWhenItIsShownAndCopiesTheTable()
    {
        BreakdownDatabase state;
        BreakdownWindow all(state.db(), LookupStatement{}, QStringLiteral("All Companies"));
        QCOMPARE(all.windowTitle(), QStringLiteral("Breakdown - All Companies"));
        QCOMPARE(all.tableText(), QStringLiteral("003\tALLEGHENY\t2\n101\tPHILADELPHIA\t2\n"));
        QCOMPARE(all.findChild<QLabel*>(QStringLiteral("lblOmitted"))->text(),
                 QStringLiteral("1 company marked to leave out is not counted."));
        // Each grouping is counted when it is first shown.
        QVERIFY(all.table(Breakdown::By::ModBand) == nullptr);
        all.showGrouping(Breakdown::By::ModBand);
        // The bars read top down like the table: the chart draws the last first.
        QCOMPARE(values(all.bars(Breakdown::By::ModBand)), (QList<qreal>{1, 1, 1, 1}));
        QCOMPARE(all.tableText(),
                 QStringLiteral("1\tbelow 0.90\t1\n3\t1.00-1.09\t1\n4\t1.10-1.24\t1\n"
                                "5\t1.25 and above\t1\n"));

        LookupStatement lookup;
        lookup.condition = "COUNTY = '101'";
        lookup.orderBy = " ORDER BY NAME1";
        BreakdownWindow window(state.db(), lookup, QStringLiteral("Philadelphia"));
        window.showGrouping(Breakdown::By::ModBand);
        window.findChild<QPushButton*>(QStringLiteral("COPY"))->click();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("4\t1.10-1.24\t1\n5\t1.25 and above\t1\n"));
    }

    void eachLayoutAsksItsFileThenWritesIt()
    {
        const struct
        {
            int layout;
            QString fileName;
            int filterIndex;
            QString suffix;
            QByteArray start;
        } cases[] = {{0, "EXPORT.CSV", 1, "csv", "\"MOD8\",\"CLASS1\""},
                     {1, "EXPORT.TXT", 2, "txt", "\"MOD8\"\t\"CLASS1\""},
                     {2, "EXPORT.TXT", 2, "txt", "0000001-01ACME WIDGET CO"},
                     {3, "EXPORT.CSV", 1, "csv", "\"MOD4\"\r\n\"0000001-01\",\"ACME WIDGET CO\","},
                     {4, "EXPORT.XLSX", 3, "xlsx", "PK\x03\x04"}};
        ExportFixture data;
        for (const auto& [layout, fileName, filterIndex, suffix, start] : cases) {
            data.chosenFile.clear();
            data.asked.clear();
            // The other layout first: the defaults switch back and forth with the choice.
            data.open(layout == 1 ? 0 : 1).ok();
            const ExportWindow window = data.open(layout);
            QDir::setCurrent(QDir::tempPath());
            window.ok();

            QCOMPARE(data.asked.size(), 2);
            QCOMPARE(data.asked.first().fileName,
                     QString(layout == 1 ? "EXPORT.CSV" : "EXPORT.TXT"));
            const Dialogs::FileRequest& request = data.asked.last();
            QCOMPARE(request.kind, Dialogs::FileRequest::Kind::Save);
            QCOMPARE(request.directory,
                     QString::fromStdString(data.master().values().documentsFolder));
            QCOMPARE(request.fileName, fileName);
            QCOMPARE(request.filterIndex, filterIndex);
            QCOMPARE(request.defaultSuffix, suffix);
            QCOMPARE(request.filters.size(), layout == 4 ? 4 : 3);
            QVERIFY(request.filters.value(filterIndex).contains("(*." + suffix + ")"));
            QCOMPARE(request.confirmOverwrite, false);
            // Cancelled: the window stays, the current folder is the program's again.
            QVERIFY(window.shown());
            QCOMPARE(QDir::current().absolutePath() + "/",
                     QString::fromStdString(data.programFolder()));

            data.choose(QString("LAYOUT%1.%2").arg(layout).arg(suffix));
            window.ok();
            QVERIFY2(data.chosenBytes().contains(start),
                     data.chosenBytes().left(400).toPercentEncoding(" \",").constData());
            QVERIFY(data.messages().isEmpty());
            QVERIFY(!window.shown());
        }
    }

    void replacingAskedFirstAndNoKeepsTheOldFile()
    {
        ExportFixture data;
        data.choose("EXPORT.TXT", "OLD CONTENT");
        const QDir program(QString::fromStdString(data.programFolder()));
        const QStringList programFiles = program.entryList(QDir::Files | QDir::Hidden);
        const ExportWindow window = data.open(3);
        window.child<QCheckBox>("LOWERCASE")->setChecked(true);
        data.queueAnswer(QMessageBox::No);
        window.ok();
        QCOMPARE(data.messageTexts(), QStringList({"Replace Existing File?"}));
        QCOMPARE(data.messages().first().defaultButton, QMessageBox::No);
        QCOMPARE(data.chosenBytes(), QByteArray("OLD CONTENT"));
        QCOMPARE(window.child<QLineEdit>("OUTPATH")->text(), data.chosenFile);
        QVERIFY(window.shown());
        QCOMPARE(program.entryList(QDir::Files | QDir::Hidden), programFiles);

        data.queueAnswer(QMessageBox::Yes);
        window.ok();
        const QByteArray bytes = data.chosenBytes();
        QVERIFY(bytes.startsWith("\"FILE\",\"NAME1\",\"NAME2\",\"STREET\","));
        QVERIFY(bytes.endsWith("\"MOD4\"\r\n\"0000001-01\",\"Acme Widget Co\",\"\",\"1 Main St\","
                               "\"Pittsburgh\",\"PA\",\"15001-\",\"412-555-0100\",\"\",\"\",\"\","
                               "\"0795\",\"\",\"\",\"\",\"\",\"\",\"03/15/2026\",\"0.95\",\"\","
                               "\"1.1\",\"\",\"\",\"\",\"\"\r\n"));
        QCOMPARE(data.messages().size(), 2);
        QCOMPARE(window.child<QLabel>("Label1")->text(),
                 QString("Exporting information on 1 companies"));
        QCOMPARE(window.child<QLineEdit>("SHOWCOUNT")->text(), QString("1"));
        QVERIFY(!window.shown());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void fixedLayoutByExpirationThroughTheScratchDatabase()
    {
        ExportFixture data;
        for (int i = 11; i <= 20; ++i) {
            const char* name = i == 11 ? "ZULU FARMS" : "OTHER";
            data.addCompany("00000" + std::to_string(i), "01", "NAME1, NAMESORT, Omit",
                            {name, name, " "});
        }
        data.db().execute("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES "
                          "('0000011', '01', '2026-12-10', '2026-12-10', 1.2)");
        data.choose("FIXED.TXT");
        const ExportWindow window =
            data.open(2, "SELECT * FROM PRIME WHERE FILE IN ('0000001', '0000011') "
                         "ORDER BY NAME1");
        window.child<QRadioButton>("EXPIRE")->click();
        window.ok();
        const QByteArray bytes = data.chosenBytes();
        const int line = 10 + 253 + 120 + 540 + 2;
        QCOMPARE(bytes.size(), 2 * line);
        QVERIFY(bytes.startsWith("0000011-01ZULU FARMS"));
        QVERIFY(bytes.mid(line).startsWith("0000001-01ACME WIDGET CO"));
        QCOMPARE(bytes.mid(line + 10 + 253, 30),
                 QByteArray("03/15/20260.95 " + QByteArray(10, ' ') + "1.1  "));
        QVERIFY(data.messages().isEmpty());
    }

    void tooMuchDataIsRefusedBeforeAFileIsAskedFor()
    {
        ExportFixture data;
        data.choose("ALL.CSV", "OLD CONTENT");
        const ExportWindow window = data.open(0, "SELECT * FROM PRIME ORDER BY NAME1");
        data.queueAnswer(QMessageBox::Yes);
        window.ok();
        QCOMPARE(data.messageTexts(), QStringList{"YOU ARE EXPORTING TOO MUCH DATA"});
        QVERIFY(data.asked.isEmpty());
        QCOMPARE(data.chosenBytes(), QByteArray("OLD CONTENT"));
        QVERIFY(!window.shown());
    }

    void aFileThatCannotBeCreatedIsTold()
    {
        ExportFixture data;
        data.choose("missing/EXPORT.CSV");
        data.open(0).ok();
        QCOMPARE(data.messageTexts(), QStringList{"CANNOT CREATE OUTPUT FILE!"});
        QVERIFY(!QFile::exists(data.chosenFile));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void aFullDiskKeepsTheOldFileAndIsToldOnce()
    {
        ExportFixture data;
        data.choose("EXPORT.XLSX", "OLD CONTENT");
        const ExportWindow window = data.open(4);
        data.queueAnswer(QMessageBox::Yes);
        {
            const FileSizeLimit limit(200);
            window.ok();
        }
        QCOMPARE(data.messageTexts(),
                 (QStringList{"Replace Existing File?", "CANNOT WRITE OUTPUT FILE! " +
                                                            data.chosenFile + ": File too large"}));
        QCOMPARE(data.chosenBytes(), QByteArray("OLD CONTENT"));
        const QDir folder(QString::fromStdString(data.programFolder()));
        QVERIFY(folder.entryList({"*.partial"}, QDir::Files | QDir::Hidden).isEmpty());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void exportRecordWritesTheSelectedCompanyAlone()
    {
        ExportFixture data;
        data.choose("ONE.CSV");
        data.list().show();
        data.list().SORT_SELECT(2);
        data.list().positionOn("0000001", "01");
        data.onModal<KREXPORT>([](KREXPORT* window) {
            ExportWindow{window}.chooseLayout(3);
            ExportWindow{window}.ok();
        });
        named<QPushButton>(&data.list(), "EXPORTCUR")->click();
        const QByteArray bytes = data.chosenBytes();
        QCOMPARE(bytes.count("\r\n"), 2);
        QVERIFY(bytes.contains("\r\n\"0000001-01\",\"ACME WIDGET CO\","));
    }

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

    void theFolderChooserComesOnlyWithATick()
    {
        NotesFixture fixture;
        const BackupWindow window(fixture.master());
        // OK without the tick: the backup goes to the program folder, no chooser.
        fixture.queueAnswer(QMessageBox::No);
        window.ok();
        QVERIFY(fixture.requests.isEmpty());
        QCOMPARE(fixture.messageTexts(),
                 QStringList({QString::fromStdString("Backup User Data and Notes to " +
                                                     fixture.localBackup() + "?")}));
        QVERIFY(window.window.isVisible());

        // Ticked, then the chooser left without a folder: the tick goes again.
        window.tick();
        QCOMPARE(fixture.requests.size(), 1);
        QVERIFY(!window.otherFolder()->isChecked());
        QVERIFY(!window.folderShown());

        // A folder that cannot be read is refused by name.
        fixture.folders << fixture.temporary() + "gone";
        window.tick();
        QCOMPARE(fixture.messageTexts().last(),
                 "Error Reading Drive " + fixture.temporary() + "gone");
        QVERIFY(!window.otherFolder()->isChecked());

        // A folder chosen, then untick and tick again: the chooser starts there.
        fixture.folders << fixture.temporary();
        window.tick();
        QVERIFY(window.otherFolder()->isChecked());
        window.tick();
        window.tick();
        QCOMPARE(fixture.requests.size(), 4);
        QCOMPARE(fixture.requests.last().directory + '/', fixture.temporary());
        // Left this time, the folder chosen before stays.
        QVERIFY(window.otherFolder()->isChecked());
        QCOMPARE(window.window.folder() + '/', fixture.temporary());
    }

    void aBackupGoesToTheOtherFolderAndComesBackByRestoreOrMerge()
    {
        NotesFixture fixture;
        fixture.set("NOTES", "NOTES", "100001", "Renewal in March");
        fixture.set("PRIME", "User1", "100002", "Key account");
        const QString other = fixture.temporary() + "diskette";
        QVERIFY(QDir().mkdir(other));
        const QString chosen = other + "/BACKUPPA.MDB";
        const QString local = QString::fromStdString(fixture.localBackup());
        int restoredSignals = 0;
        // Runs an option on the other folder; true when the window stays.
        const auto run = [&](int option, QMessageBox::StandardButton answer) {
            const BackupWindow window(fixture.master());
            QObject::connect(&window.window, &KRNOTES::userDataRestored,
                             [&restoredSignals] { ++restoredSignals; });
            window.choose(option);
            fixture.folders << other;
            window.tick();
            fixture.queueAnswer(answer);
            window.ok();
            return window.window.isVisible();
        };
        QVERIFY(!run(1, QMessageBox::Yes));
        QCOMPARE(fixture.messageTexts(),
                 QStringList({"Backup User Data and Notes to " + chosen + "?",
                              "1 User Notes and 1 Fields Saved to " + local,
                              "Backup copied to " + chosen}));
        QCOMPARE(bytesOf(chosen.toStdString()), bytesOf(fixture.localBackup()));

        // Typed over since, and the local backup lost.
        fixture.set("NOTES", "NOTES", "100001", "typed later");
        fixture.set("PRIME", "User1", "100002", " ");
        std::filesystem::remove(fixture.localBackup());
        qsizetype before = fixture.messages().size();
        QVERIFY(!run(2, QMessageBox::Yes));
        QCOMPARE(restoredSignals, 1);
        QCOMPARE(fixture.messageTexts().mid(before),
                 QStringList({"Restore User Data and Notes from " + chosen + "?",
                              "1 User Notes and 1 Fields Restored From " + chosen,
                              "User Notes and Fields Restored!"}));
        QCOMPARE(fixture.note("100001", "00"), Value("Renewal in March"));
        QCOMPARE(fixture.field("100002", "00", "User1"), Value("Key account"));
        QVERIFY(!std::filesystem::exists(fixture.localBackup()));

        // A merge keeps the current note first; No changes nothing.
        fixture.set("NOTES", "NOTES", "100001", "typed later");
        QVERIFY(run(3, QMessageBox::No));
        QCOMPARE(fixture.note("100001", "00"), Value("typed later"));
        QCOMPARE(restoredSignals, 1);
        QVERIFY(!run(3, QMessageBox::Yes));
        QCOMPARE(fixture.messageTexts().last(), QString("User Notes and Fields Merged!"));
        QCOMPARE(fixture.note("100001", "00"), Value("typed later\r\nRenewal in March"));
        QCOMPARE(restoredSignals, 2);

        // The folder went away after it was chosen: the local backup is made, the copy fails.
        const BackupWindow window(fixture.master());
        const QString removed = fixture.temporary() + "ejected";
        QVERIFY(QDir().mkdir(removed));
        fixture.folders << removed;
        window.tick();
        QVERIFY(QDir().rmdir(removed));
        before = fixture.messages().size();
        fixture.queueAnswer(QMessageBox::Yes);
        window.ok();
        QCOMPARE(fixture.messageTexts().mid(before + 1),
                 QStringList({"1 User Notes and 1 Fields Saved to " + local,
                              "Error copying file!  Make sure path is correct!"}));
        QVERIFY(!QDir(removed).exists());
        QVERIFY(window.window.isVisible());
    }
};

QTEST_MAIN(OutputWindowsTest)
#include "OutputWindowsTest.moc"
