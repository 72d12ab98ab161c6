#include "windows/KREXPORT.h"

#include "ResultsFixture.h"
#include "support/WriteFailure.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using namespace kora;
using namespace kora::test;

namespace {

const std::string kOneCompany = "SELECT * FROM PRIME WHERE FILE = '0000001' AND SEQUENCE = '01'";

void chooseLayout(QWidget& window, int layout)
{
    for (auto* option : window.findChildren<QRadioButton*>("EXPTFORM"))
        if (option->property("index").toInt() == layout)
            option->setChecked(true);
}

// Ten Pennsylvania companies, the first with two mods; the save dialog
// answers chosenFile (a cancel when empty) and keeps what it was asked.
class ExportFixture : public ResultsFixture
{
public:
    ExportFixture() : ResultsFixture("PA")
    {
        addCompany("0000001", "01",
                   {{"NAME1", "ACME WIDGET CO"},
                    {"NAMESORT", "ACME WIDGET CO"},
                    {"STREET", " 1 MAIN ST"},
                    {"CITY", "PITTSBURGH"},
                    {"ST", "PA"},
                    {"ZIP", "15001"},
                    {"ZIPEXT", ""},
                    {"PHONE", "412-555-0100 "},
                    {"SIC", "0795"},
                    {"Omit", " "}});
        for (int i = 2; i <= 10; ++i)
            addCompany(QString::number(i).rightJustified(7, '0').toStdString(), "01",
                       {{"NAME1", "OTHER"}, {"Omit", " "}});
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

    std::unique_ptr<KREXPORT> open(int layout, const std::string& source = kOneCompany)
    {
        auto window = std::make_unique<KREXPORT>(master(), source, QStringLiteral("Acme"));
        window->show();
        chooseLayout(*window, layout);
        return window;
    }
    void choose(const char* name, const char* content = nullptr)
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
};

void clickOk(QWidget& window)
{
    window.findChild<QPushButton*>("Command1")->click();
}

} // namespace

class KREXPORTTest : public QObject
{
    Q_OBJECT

private slots:
    void eachLayoutAsksItsFileThenWritesIt_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("comma") << 0 << "EXPORT.CSV" << 1 << "csv"
                               << QByteArray("\"MOD8\",\"CLASS1\"");
        QTest::newRow("tab") << 1 << "EXPORT.TXT" << 2 << "txt"
                             << QByteArray("\"MOD8\"\t\"CLASS1\"");
        QTest::newRow("fixed") << 2 << "EXPORT.TXT" << 2 << "txt"
                               << QByteArray("0000001-01ACME WIDGET CO");
        QTest::newRow("limited") << 3 << "EXPORT.CSV" << 1 << "csv"
                                 << QByteArray("\"MOD4\"\r\n\"0000001-01\",\"ACME WIDGET CO\",");
        QTest::newRow("workbook") << 4 << "EXPORT.XLSX" << 3 << "xlsx" << QByteArray("PK\x03\x04");
    }
    void eachLayoutAsksItsFileThenWritesIt()
    {
        QFETCH(int, layout);
        QFETCH(QString, fileName);
        QFETCH(int, filterIndex);
        QFETCH(QString, suffix);
        QFETCH(QByteArray, start);
        ExportFixture data;
        // The other layout first: the defaults switch back and forth with the choice.
        clickOk(*data.open(layout == 1 ? 0 : 1));
        auto window = data.open(layout);
        QDir::setCurrent(QDir::tempPath());
        clickOk(*window);

        QCOMPARE(data.asked.size(), 2);
        QCOMPARE(data.asked.first().fileName, QString(layout == 1 ? "EXPORT.CSV" : "EXPORT.TXT"));
        const Dialogs::FileRequest& request = data.asked.last();
        QCOMPARE(request.kind, Dialogs::FileRequest::Kind::Save);
        QCOMPARE(request.title, QString("Save KORA Export"));
        QCOMPARE(request.directory, QString::fromStdString(data.master().values().documentsFolder));
        QCOMPARE(request.fileName, fileName);
        QCOMPARE(request.filterIndex, filterIndex);
        QCOMPARE(request.defaultSuffix, suffix);
        QStringList filters = {"All Files (*)", "CSV / Excel (*.csv)", "Text Files (*.txt)"};
        if (layout == 4)
            filters << "Excel Workbook (*.xlsx)";
        QCOMPARE(request.filters, filters);
        QCOMPARE(request.confirmOverwrite, false);
        // Cancelled: the window stays, the current folder is the program's again.
        QVERIFY(window->isVisible());
        QCOMPARE(QDir::current().absolutePath() + "/",
                 QString::fromStdString(data.programFolder()));

        data.choose(fileName.toLatin1().constData());
        clickOk(*window);
        QVERIFY2(data.chosenBytes().contains(start),
                 data.chosenBytes().left(400).toPercentEncoding(" \",").constData());
        QVERIFY(data.messages().isEmpty());
        QVERIFY(!window->isVisible());
    }

    void replacingAskedFirstAndNoKeepsTheOldFile()
    {
        ExportFixture data;
        data.choose("EXPORT.TXT", "OLD CONTENT");
        const QDir program(QString::fromStdString(data.programFolder()));
        const QStringList programFiles = program.entryList(QDir::Files | QDir::Hidden);
        auto window = data.open(3);
        window->findChild<QCheckBox*>("LOWERCASE")->setChecked(true);
        data.queueAnswer(QMessageBox::No);
        clickOk(*window);
        const Dialogs::Request& asked = data.messages().first();
        QCOMPARE(asked.title, QString("Replace Existing File"));
        QCOMPARE(asked.text, QString("Replace Existing File?"));
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(asked.defaultButton, QMessageBox::No);
        QCOMPARE(asked.icon, QMessageBox::Warning);
        QCOMPARE(data.chosenBytes(), QByteArray("OLD CONTENT"));
        QCOMPARE(window->findChild<QLineEdit*>("OUTPATH")->text(), data.chosenFile);
        QVERIFY(window->isVisible());
        QCOMPARE(program.entryList(QDir::Files | QDir::Hidden), programFiles);

        data.queueAnswer(QMessageBox::Yes);
        clickOk(*window);
        const QByteArray bytes = data.chosenBytes();
        QVERIFY(bytes.startsWith("\"FILE\",\"NAME1\",\"NAME2\",\"STREET\","));
        QVERIFY(bytes.endsWith("\"MOD4\"\r\n\"0000001-01\",\"Acme Widget Co\",\"\",\"1 Main St\","
                               "\"Pittsburgh\",\"PA\",\"15001-\",\"412-555-0100\",\"\",\"\",\"\","
                               "\"0795\",\"\",\"\",\"\",\"\",\"\",\"03/15/2026\",\"0.95\",\"\","
                               "\"1.1\",\"\",\"\",\"\",\"\"\r\n"));
        QCOMPARE(data.messages().size(), 2);
        QCOMPARE(window->findChild<QLabel*>("Label1")->text(),
                 QString("Exporting information on 1 companies"));
        QCOMPARE(window->findChild<QLineEdit*>("SHOWCOUNT")->text(), QString("1"));
        QVERIFY(!window->isVisible());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void fixedLayoutByExpirationThroughTheScratchDatabase()
    {
        ExportFixture data;
        for (int i = 11; i <= 20; ++i) {
            const char* name = i == 11 ? "ZULU FARMS" : "OTHER";
            data.addCompany("00000" + std::to_string(i), "01",
                            {{"NAME1", name}, {"NAMESORT", name}, {"Omit", " "}});
        }
        data.db().execute("INSERT INTO MODS (FILE, SEQUENCE, EFFECTIVE, EXPIRE, MOD) VALUES "
                          "('0000011', '01', '2026-12-10', '2026-12-10', 1.2)");
        data.choose("FIXED.TXT");
        auto window = data.open(2, "SELECT * FROM PRIME WHERE FILE IN ('0000001', '0000011') "
                                   "ORDER BY NAME1");
        window->findChild<QRadioButton*>("EXPIRE")->setChecked(true);
        clickOk(*window);
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
        auto window = data.open(0, "SELECT * FROM PRIME ORDER BY NAME1");
        data.queueAnswer(QMessageBox::Yes);
        clickOk(*window);
        QCOMPARE(data.messageTexts(), QStringList{"YOU ARE EXPORTING TOO MUCH DATA"});
        QCOMPARE(data.messages().first().title, Dialogs::defaultTitle());
        QVERIFY(data.asked.isEmpty());
        QCOMPARE(data.chosenBytes(), QByteArray("OLD CONTENT"));
        QVERIFY(!window->isVisible());
    }

    void aFileThatCannotBeCreatedIsTold()
    {
        ExportFixture data;
        data.choose("missing/EXPORT.CSV");
        clickOk(*data.open(0));
        QCOMPARE(data.messageTexts(), QStringList{"CANNOT CREATE OUTPUT FILE!"});
        QVERIFY(!QFile::exists(data.chosenFile));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void aFullDiskKeepsTheOldFileAndIsToldOnce()
    {
        ExportFixture data;
        data.choose("EXPORT.XLSX", "OLD CONTENT");
        auto window = data.open(4);
        data.queueAnswer(QMessageBox::Yes);
        {
            const FileSizeLimit limit(200);
            clickOk(*window);
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
        QString caption;
        data.onModal<KREXPORT>([&caption](KREXPORT* window) {
            caption = window->windowTitle();
            chooseLayout(*window, 3);
            clickOk(*window);
        });
        data.list().findChild<QPushButton*>("EXPORTCUR")->click();
        QCOMPARE(caption, QString("Export Lookup Information"));
        const QByteArray bytes = data.chosenBytes();
        QCOMPARE(bytes.count("\r\n"), 2);
        QVERIFY(bytes.contains("\r\n\"0000001-01\",\"ACME WIDGET CO\","));
    }
};

QTEST_MAIN(KREXPORTTest)
#include "KREXPORTTest.moc"
