#include "windows/KREXPORT.h"

#include "ResultsFixture.h"
#include "support/WriteFailure.h"

#include <QDir>
#include <QFile>

#include <memory>

using namespace kora;
using namespace kora::test;

namespace {

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

} // namespace

class KREXPORTTest : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_MAIN(KREXPORTTest)
#include "KREXPORTTest.moc"
