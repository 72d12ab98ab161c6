#include "windows/KREXPORT.h"

#include "ResultsFixture.h"
#include "support/WriteFailure.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using namespace kora;
using namespace kora::test;

namespace {

const std::string kOneCompany = "SELECT * FROM PRIME WHERE FILE = '0000001' AND SEQUENCE = '01'";

// A Pennsylvania state of ten companies, the first with two mods; the save
// dialog is answered by script and what it was asked is kept.
class ExportFixture : public ResultsFixture
{
public:
    ExportFixture() : ResultsFixture("PA")
    {
        addCompany("0000001", "01",
                   {{"NAME1", Value("ACME WIDGET CO")},
                    {"NAMESORT", Value("ACME WIDGET CO")},
                    {"STREET", Value(" 1 MAIN ST")},
                    {"CITY", Value("PITTSBURGH")},
                    {"ST", Value("PA")},
                    {"ZIP", Value("15001")},
                    {"ZIPEXT", Value("")},
                    {"PHONE", Value("412-555-0100 ")},
                    {"SIC", Value("0795")},
                    {"Omit", Value(" ")}});
        for (int i = 2; i <= 10; ++i)
            addCompany("000000" + std::to_string(i % 10) + (i == 10 ? "0" : ""), "01",
                       {{"NAME1", Value("OTHER")}, {"Omit", Value(" ")}});
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

    std::unique_ptr<KREXPORT> openWindow(const std::string& source = kOneCompany)
    {
        auto window = std::make_unique<KREXPORT>(master(), source, QStringLiteral("Acme"));
        window->show();
        return window;
    }
    QString outputFile(const char* name) const
    {
        return QString::fromStdString(programFolder()) + name;
    }

    QList<Dialogs::FileRequest> asked;
    QString chosenFile; // empty: the dialog is cancelled
};

QRadioButton* format(QWidget& window, int index)
{
    for (auto* option : window.findChildren<QRadioButton*>("EXPTFORM"))
        if (option->property("index").toInt() == index)
            return option;
    return nullptr;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// An earlier export under the chosen name, for the replace and failure cases.
bool writeOldContent(const QString& path)
{
    QFile old(path);
    return old.open(QIODevice::WriteOnly) && old.write("OLD CONTENT") == 11;
}

void clickOk(QWidget& window)
{
    window.findChild<QPushButton*>("Command1")->click();
}

} // namespace

class KREXPORTTest : public QObject
{
    Q_OBJECT

private slots:
    void showsEveryCaptionAndTheFormatsInTheirOrder()
    {
        ExportFixture data;
        auto window = data.openWindow();
        QCOMPARE(window->windowTitle(), QString("Export Lookup Information"));
        QStringList frames;
        for (auto* frame : window->findChildren<QGroupBox*>())
            frames << frame->title();
        QCOMPARE(frames, (QStringList{"Export Format", "Sort Export By"}));

        auto* formats = window->findChildren<QGroupBox*>().first();
        QStringList shown;
        for (int i = 0; i < formats->layout()->count(); ++i)
            shown << qobject_cast<QRadioButton*>(formats->layout()->itemAt(i)->widget())->text();
        QCOMPARE(shown, (QStringList{"Comma delimited, limited fields (MS-Word, etc.)",
                                     "SDF (ASCII) - Tab Delimited", "TXT (ASCII) - Fixed Length",
                                     "SDF (ASCII) - Comma Delimited", "Excel workbook (.xlsx)"}));
        QVERIFY(format(*window, 0)->isChecked());

        QCOMPARE(window->findChild<QRadioButton*>("NAMEA")->text(), QString("Name"));
        QVERIFY(window->findChild<QRadioButton*>("NAMEA")->isChecked());
        QCOMPARE(window->findChild<QRadioButton*>("EXPIRE")->text(), QString("Expiration date"));
        QCOMPARE(window->findChild<QRadioButton*>("ZIP")->text(), QString("Zip code"));
        QCOMPARE(window->findChild<QCheckBox*>("LOWERCASE")->text(),
                 QString("Convert to lower case"));
        QVERIFY(!window->findChild<QCheckBox*>("LOWERCASE")->isChecked());
        QCOMPARE(window->findChild<QLineEdit*>("OUTPATH")->text(), QString(".TXT"));
        QCOMPARE(window->findChild<QLabel*>("Label2")->text(),
                 QString("Enter path and file name for output below:"));
        QCOMPARE(window->findChild<QPushButton*>("Command1")->text(), QString("OK"));
        QCOMPARE(window->findChild<QPushButton*>("Command2")->text(), QString("Cancel"));

        window->findChild<QPushButton*>("Command2")->click();
        QVERIFY(!window->isVisible());
        QVERIFY(data.asked.isEmpty());
    }

    void saveDialogDefaultsFollowTheLayout_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("comma") << 0 << "EXPORT.CSV" << 1 << "csv";
        QTest::newRow("tab") << 1 << "EXPORT.TXT" << 2 << "txt";
        QTest::newRow("fixed") << 2 << "EXPORT.TXT" << 2 << "txt";
        QTest::newRow("limited") << 3 << "EXPORT.CSV" << 1 << "csv";
        QTest::newRow("workbook") << 4 << "EXPORT.XLSX" << 3 << "xlsx";
    }
    void saveDialogDefaultsFollowTheLayout()
    {
        QFETCH(int, layout);
        QFETCH(QString, fileName);
        QFETCH(int, filterIndex);
        QFETCH(QString, suffix);
        ExportFixture data;
        auto window = data.openWindow();
        // The other layout first: the defaults switch back and forth with the choice.
        format(*window, layout == 1 ? 0 : 1)->setChecked(true);
        clickOk(*window);
        format(*window, layout)->setChecked(true);
        QDir::setCurrent(QDir::tempPath());
        clickOk(*window);

        QCOMPARE(data.asked.size(), 2);
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
        QCOMPARE(data.asked.first().fileName, QString(layout == 1 ? "EXPORT.CSV" : "EXPORT.TXT"));

        // Cancelled: the window stays, the current folder is the program's again.
        QVERIFY(window->isVisible());
        QCOMPARE(QDir::current().absolutePath() + "/",
                 QString::fromStdString(data.programFolder()));
        QVERIFY(data.messages().isEmpty());
    }

    void replaceAnsweredNoWritesNothing()
    {
        ExportFixture data;
        data.chosenFile = data.outputFile("EXPORT.CSV");
        QVERIFY(writeOldContent(data.chosenFile));
        const QDir program(QString::fromStdString(data.programFolder()));
        const QStringList programFiles = program.entryList(QDir::Files);
        auto window = data.openWindow();
        data.queueAnswer(QMessageBox::No);
        clickOk(*window);

        QCOMPARE(data.messages().size(), 1);
        const Dialogs::Request& asked = data.messages().first();
        QCOMPARE(asked.title, QString("Replace Existing File"));
        QCOMPARE(asked.text, QString("Replace Existing File?"));
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(asked.defaultButton, QMessageBox::No);
        QCOMPARE(asked.icon, QMessageBox::Warning);
        QCOMPARE(bytesOf(data.chosenFile), QByteArray("OLD CONTENT"));
        QCOMPARE(window->findChild<QLineEdit*>("OUTPATH")->text(), data.chosenFile);
        QVERIFY(window->isVisible());
        // No scratch file is left beside the program either.
        QCOMPARE(program.entryList(QDir::Files), programFiles);
    }

    void replaceAnsweredYesWritesTheExport()
    {
        ExportFixture data;
        data.chosenFile = data.outputFile("EXPORT.TXT");
        QVERIFY(writeOldContent(data.chosenFile));
        auto window = data.openWindow();
        format(*window, 3)->setChecked(true);
        window->findChild<QCheckBox*>("LOWERCASE")->setChecked(true);
        data.queueAnswer(QMessageBox::Yes);
        clickOk(*window);

        const QByteArray header =
            "\"FILE\",\"NAME1\",\"NAME2\",\"STREET\",\"CITY\",\"STATE\",\"ZIP\","
            "\"PHONE\",\"FAX\",\"TITLE\",\"CONTACT\",\"SIC\",\"EMPLOYEES\","
            "\"SALES\",\"User1\",\"User2\",\"User3\",\"EXPIRE1\",\"MOD1\","
            "\"EXPIRE2\",\"MOD2\",\"EXPIRE3\",\"MOD3\",\"EXPIRE4\",\"MOD4\"\r\n";
        const QByteArray line = "\"0000001-01\",\"Acme Widget Co\",\"\",\"1 Main St\","
                                "\"Pittsburgh\",\"PA\",\"15001-\",\"412-555-0100\",\"\",\"\",\"\","
                                "\"0795\",\"\",\"\",\"\",\"\",\"\",\"03/15/2026\",\"0.95\",\"\","
                                "\"1.1\",\"\",\"\",\"\",\"\"\r\n";
        QCOMPARE(bytesOf(data.chosenFile), header + line);
        QCOMPARE(data.messages().size(), 1);
        QCOMPARE(window->findChild<QLabel*>("Label1")->text(),
                 QString("Exporting information on 1 companies"));
        QCOMPARE(window->findChild<QLineEdit*>("SHOWCOUNT")->text(), QString("1"));
        QCOMPARE(window->findChild<QProgressBar*>("PROGRESS")->value(), 1);
        QVERIFY(!window->isVisible());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void fixedLayoutByExpirationThroughTheScratchDatabase()
    {
        ExportFixture data;
        data.chosenFile = data.outputFile("FIXED.TXT");
        auto window = data.openWindow(kOneCompany + " ORDER BY NAME1");
        format(*window, 2)->setChecked(true);
        window->findChild<QRadioButton*>("EXPIRE")->setChecked(true);
        clickOk(*window);
        const QByteArray bytes = bytesOf(data.chosenFile);
        QCOMPARE(bytes.size(), 10 + 253 + 120 + 540 + 2);
        QVERIFY(bytes.startsWith("0000001-01ACME WIDGET CO"));
        QCOMPARE(bytes.mid(10 + 253, 30),
                 QByteArray("03/15/20260.95 " + QByteArray(10, ' ') + "1.1  "));
        QVERIFY(data.messages().isEmpty());
        QVERIFY(!window->isVisible());
    }

    void workbookIsWritten()
    {
        ExportFixture data;
        data.chosenFile = data.outputFile("EXPORT.XLSX");
        auto window = data.openWindow();
        format(*window, 4)->setChecked(true);
        clickOk(*window);
        QVERIFY(bytesOf(data.chosenFile).startsWith("PK\x03\x04"));
        QVERIFY(data.messages().isEmpty());
    }

    void tooMuchDataIsRefusedBeforeAFileIsAskedFor()
    {
        ExportFixture data;
        data.chosenFile = data.outputFile("ALL.CSV");
        QVERIFY(writeOldContent(data.chosenFile));
        auto window = data.openWindow("SELECT * FROM PRIME ORDER BY NAME1");
        data.queueAnswer(QMessageBox::Yes);
        clickOk(*window);
        QCOMPARE(data.messageTexts(), QStringList{"YOU ARE EXPORTING TOO MUCH DATA"});
        QCOMPARE(data.messages().first().title, Dialogs::defaultTitle());
        QVERIFY(data.asked.isEmpty());
        QCOMPARE(bytesOf(data.chosenFile), QByteArray("OLD CONTENT"));
        QVERIFY(!window->isVisible());
    }

    void aFileThatCannotBeCreatedIsReported()
    {
        ExportFixture data;
        data.chosenFile = data.outputFile("missing/EXPORT.CSV");
        auto window = data.openWindow();
        clickOk(*window);
        QCOMPARE(data.messageTexts(), QStringList{"CANNOT CREATE OUTPUT FILE!"});
        QVERIFY(!QFile::exists(data.chosenFile));
        QVERIFY(!window->isVisible());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void anUnwritableFolderIsToldOnceAndGetsNoFile()
    {
        ExportFixture data;
        const UnwritableFolder folder(data.programFolder() + "locked");
        if (!folder.usable())
            QSKIP("this system lets the test process write in any folder");
        data.chosenFile = QString::fromStdString(folder.path()) + "/EXPORT.CSV";
        auto window = data.openWindow();
        clickOk(*window);
        QCOMPARE(data.messageTexts(), QStringList{"CANNOT CREATE OUTPUT FILE!"});
        QVERIFY(QDir(QString::fromStdString(folder.path())).isEmpty());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void aFullDiskKeepsTheOldFileAndIsToldOnce_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("name");
        QTest::newRow("comma") << 0 << "EXPORT.CSV";
        QTest::newRow("fixed") << 2 << "EXPORT.TXT";
        QTest::newRow("workbook") << 4 << "EXPORT.XLSX";
    }

    void aFullDiskKeepsTheOldFileAndIsToldOnce()
    {
        QFETCH(int, layout);
        QFETCH(QString, name);
        ExportFixture data;
        data.chosenFile = data.outputFile(name.toLatin1().constData());
        QVERIFY(writeOldContent(data.chosenFile));
        auto window = data.openWindow();
        format(*window, layout)->setChecked(true);
        data.queueAnswer(QMessageBox::Yes);
        {
            const FileSizeLimit limit(200);
            clickOk(*window);
        }
        QCOMPARE(data.messageTexts(),
                 (QStringList{"Replace Existing File?", "CANNOT WRITE OUTPUT FILE! " +
                                                            data.chosenFile + ": File too large"}));
        QCOMPARE(bytesOf(data.chosenFile), QByteArray("OLD CONTENT"));
        const QDir folder(QString::fromStdString(data.programFolder()));
        QVERIFY(folder.entryList({"*.partial"}, QDir::Files | QDir::Hidden).isEmpty());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void exportRecordWritesTheSelectedCompanyAlone()
    {
        ExportFixture data;
        data.chosenFile = data.outputFile("ONE.CSV");
        data.list().show();
        data.list().SORT_SELECT(2);
        data.list().positionOn("0000001", "01");
        auto* button = data.list().findChild<QPushButton*>("EXPORTCUR");
        QCOMPARE(button->text(), QString("Export Record"));
        QVERIFY(button->isEnabled());
        QString caption;
        data.onModal<KREXPORT>([&caption](KREXPORT* window) {
            caption = window->windowTitle();
            format(*window, 3)->setChecked(true);
            clickOk(*window);
        });
        button->click();
        QCOMPARE(caption, QString("Export Lookup Information"));
        const QByteArray bytes = bytesOf(data.chosenFile);
        QCOMPARE(bytes.count("\r\n"), 2);
        QVERIFY(bytes.contains("\r\n\"0000001-01\",\"ACME WIDGET CO\","));
        QVERIFY(data.messages().isEmpty());
    }
};

QTEST_MAIN(KREXPORTTest)
#include "KREXPORTTest.moc"
