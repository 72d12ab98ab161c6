#include "widgets/Cmdlg.h"

#include "support/TempFolder.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

using namespace kora;

namespace {

const QChar kNul(0);

QString exportFilter()
{
    return QStringLiteral("All Files (*.*)") + kNul + "*.*" + kNul + "CSV / Excel (*.csv)" + kNul +
           "*.csv" + kNul + "Text Files (*.txt)" + kNul + "*.txt" + kNul + kNul;
}

} // namespace

class CmdlgTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Dialogs::setFileScript({}); }

    void propertiesStartWithTheirDefaults()
    {
        Cmdlg dialog("/opt/kora/");
        QCOMPARE(dialog.InitDir(), QString());
        QCOMPARE(dialog.FilterIndex(), qint16(1));
        QCOMPARE(dialog.Filetitle(), QString());
        QCOMPARE(dialog.FileName(), QString());
        QCOMPARE(dialog.DialogTitle(), QString("/opt/kora/"));
        QCOMPARE(dialog.DefaultExtension(), QString());
        QCOMPARE(dialog.CancelPressed(), false);
        QCOMPARE(dialog.FileExtension(), QString());
        QCOMPARE(dialog.MultiSelect(), false);
        QCOMPARE(dialog.nameFilters(), QStringList{"All Files (*)"});

        Dialogs::FileRequest asked;
        Dialogs::setFileScript([&](const Dialogs::FileRequest& request) {
            asked = request;
            return Dialogs::FileAnswer{true, {"/home/agent/NOTES"}, 0};
        });
        dialog.ShowOpen();
        QCOMPARE(asked.kind, Dialogs::FileRequest::Kind::Open);
        QCOMPARE(asked.title, QString("/opt/kora/"));
        QCOMPARE(asked.filterIndex, 0);
        QCOMPARE(asked.defaultSuffix, QString());
        QCOMPARE(asked.multiSelect, false);
        QCOMPARE(asked.confirmOverwrite, false);
        // With the flags left at 0 no extension is reported and never several names.
        QCOMPARE(dialog.FileName(), QString("/home/agent/NOTES"));
        QCOMPARE(dialog.Filetitle(), QString("NOTES"));
        QCOMPARE(dialog.FileExtension(), QString());
        QCOMPARE(dialog.MultiSelect(), false);
        QCOMPARE(dialog.CancelPressed(), false);
    }

    void trimNullKeepsThePartBeforeTheFirstNul()
    {
        QCOMPARE(Cmdlg::TrimNull(QString("EXPORT.CSV") + kNul + kNul + "X"), QString("EXPORT.CSV"));
        QCOMPARE(Cmdlg::TrimNull("EXPORT.CSV"), QString("EXPORT.CSV"));
        QCOMPARE(Cmdlg::TrimNull(QString(kNul)), QString());
    }

    void filterListBecomesNameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("export list")
            << exportFilter()
            << QStringList{"All Files (*)", "CSV / Excel (*.csv)", "Text Files (*.txt)"};
        QTest::newRow("description without patterns")
            << QString("Lookups") + kNul + "*.krd" + kNul + kNul << QStringList{"Lookups (*.krd)"};
        QTest::newRow("several patterns")
            << QString("Text (*.txt;*.csv)") + kNul + "*.txt;*.csv" + kNul + kNul
            << QStringList{"Text (*.txt *.csv)"};
        QTest::newRow("missing final nul")
            << QString("Text Files") + kNul + "*.txt" << QStringList{"Text Files (*.txt)"};
        QTest::newRow("empty") << QString() << QStringList{};
    }
    void filterListBecomesNameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        Cmdlg dialog("/opt/kora/");
        dialog.setFilter(filter);
        QCOMPARE(dialog.nameFilters(), expected);
    }

    void saveDialogPassesEveryPropertyAndReadsTheChoiceBack()
    {
        Cmdlg dialog("/opt/kora/");
        dialog.setDialogTitle("Save KORA Export");
        dialog.setInitDir("/home/agent/Documents");
        dialog.setFilter(exportFilter());
        dialog.setFilterIndex(3);
        dialog.setDefaultExtension("*.csv");
        dialog.setFileName("EXPORT.CSV");
        dialog.setFlags(Cmdlg::kOverwritePrompt);
        QWidget owner;
        dialog.sethWnd(&owner);

        Dialogs::FileRequest asked;
        Dialogs::setFileScript([&](const Dialogs::FileRequest& request) {
            asked = request;
            return Dialogs::FileAnswer{true, {"/home/agent/Documents/agents.list.csv"}, 1};
        });
        dialog.ShowSave();
        QCOMPARE(asked.kind, Dialogs::FileRequest::Kind::Save);
        QCOMPARE(asked.title, QString("Save KORA Export"));
        QCOMPARE(asked.directory, QString("/home/agent/Documents"));
        QCOMPARE(asked.fileName, QString("EXPORT.CSV"));
        QCOMPARE(asked.filters.size(), 3);
        QCOMPARE(asked.filterIndex, 2);
        QCOMPARE(asked.defaultSuffix, QString("csv"));
        QCOMPARE(asked.confirmOverwrite, true);
        QCOMPARE(dialog.FileName(), QString("/home/agent/Documents/agents.list.csv"));
        QCOMPARE(dialog.Filetitle(), QString("agents.list.csv"));
        QCOMPARE(dialog.FileExtension(), QString("csv"));
        QCOMPARE(dialog.MultiSelect(), false);
        QCOMPARE(dialog.CancelPressed(), false);
    }

    void cancellingEmptiesThePresetName()
    {
        Cmdlg dialog("/opt/kora/");
        dialog.setFileName("EXPORT.CSV");
        dialog.setFiletitle("EXPORT.CSV");
        dialog.setFlags(1);
        Dialogs::setFileScript([](const Dialogs::FileRequest&) { return Dialogs::FileAnswer{}; });
        dialog.ShowSave();
        QCOMPARE(dialog.CancelPressed(), true);
        QCOMPARE(dialog.FileName(), QString());
        QCOMPARE(dialog.Filetitle(), QString());
        QCOMPARE(dialog.FileExtension(), QString());
        QCOMPARE(dialog.MultiSelect(), false);
    }

    void aNameLongerThanTheBufferFailsTheDialog()
    {
        Cmdlg dialog("/opt/kora/");
        dialog.setMaxFileSize(16);
        Dialogs::setFileScript([](const Dialogs::FileRequest&) {
            return Dialogs::FileAnswer{true, {"/home/agent/a-long-file-name.csv"}, 0};
        });
        dialog.ShowOpen();
        QCOMPARE(dialog.CancelPressed(), true);
        QCOMPARE(dialog.FileName(), QString());
    }

    void severalNamesComeBackAsFolderAndNames()
    {
        Cmdlg dialog("/opt/kora/");
        dialog.setFlags(Cmdlg::kAllowMultiSelect);
        Dialogs::FileRequest asked;
        Dialogs::setFileScript([&](const Dialogs::FileRequest& request) {
            asked = request;
            return Dialogs::FileAnswer{true, {"/data/A.KRD", "/data/B.KRD"}, 0};
        });
        dialog.ShowOpen();
        QVERIFY(asked.multiSelect);
        QCOMPARE(dialog.FileName(), QString("/data") + kNul + "A.KRD" + kNul + "B.KRD" + kNul);
        QCOMPARE(dialog.MultiSelect(), true);
        QCOMPARE(dialog.FileExtension(), QString());
        QCOMPARE(dialog.Filetitle(), QString());

        // One name with the same flag is a single choice with its extension.
        Dialogs::setFileScript([](const Dialogs::FileRequest&) {
            return Dialogs::FileAnswer{true, {"/data/A.KRD"}, 0};
        });
        dialog.ShowOpen();
        QCOMPARE(dialog.FileName(), QString("/data/A.KRD"));
        QCOMPARE(dialog.MultiSelect(), false);
        QCOMPARE(dialog.FileExtension(), QString("KRD"));
    }

    void realDialogShowsThePresetNameAndFilters()
    {
        kora::test::TempFolder folder;
        Cmdlg dialog("/opt/kora/");
        dialog.setDialogTitle("Save KORA Export");
        dialog.setInitDir(QString::fromStdString(folder.path()));
        dialog.setFilter(exportFilter());
        dialog.setFilterIndex(2);
        dialog.setDefaultExtension("*.csv");
        dialog.setFileName("EXPORT.CSV");

        QString title;
        QString name;
        QStringList filters;
        QString selectedFilter;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] {
            auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!shown)
                return;
            timer.stop();
            title = shown->windowTitle();
            name = shown->findChild<QLineEdit*>("fileNameEdit")->text();
            filters = shown->nameFilters();
            selectedFilter = shown->selectedNameFilter();
            QMetaObject::invokeMethod(shown, "accept");
        });
        timer.start(20);
        dialog.ShowSave();
        QCOMPARE(title, QString("Save KORA Export"));
        QCOMPARE(name, QString("EXPORT.CSV"));
        QCOMPARE(filters,
                 (QStringList{"All Files (*)", "CSV / Excel (*.csv)", "Text Files (*.txt)"}));
        QCOMPARE(selectedFilter, QString("CSV / Excel (*.csv)"));
        QCOMPARE(dialog.CancelPressed(), false);
        QCOMPARE(QFileInfo(dialog.FileName()).absoluteFilePath(),
                 QFileInfo(QString::fromStdString(folder.file("EXPORT.CSV"))).absoluteFilePath());
        QCOMPARE(dialog.Filetitle(), QString("EXPORT.CSV"));
    }
};

QTEST_MAIN(CmdlgTest)
#include "CmdlgTest.moc"
