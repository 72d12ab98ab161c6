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

Q_DECLARE_METATYPE(kora::Dialogs::FileAnswer)

class CmdlgTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Dialogs::setFileScript({}); }

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
        QCOMPARE(Cmdlg::TrimNull(filter), filter.section(kNul, 0, 0));
    }

    // What the dialog reports after the user's answer: FileName|Filetitle|
    // FileExtension|MultiSelect|CancelPressed.
    void choiceIsReadBack_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<Dialogs::FileAnswer>("answer");
        QTest::addColumn<QString>("reported");
        const QString several = QString("/data") + kNul + "A.KRD" + kNul + "B.KRD" + kNul;
        QTest::newRow("no flags, no extension")
            << 0 << Dialogs::FileAnswer{true, {"/home/agent/NOTES.TXT"}, 0}
            << "/home/agent/NOTES.TXT|NOTES.TXT||0|0";
        QTest::newRow("cancelled") << 1 << Dialogs::FileAnswer{} << "|||0|1";
        QTest::newRow("longer than the buffer")
            << 0 << Dialogs::FileAnswer{true, {"/home/agent/" + QString(3000, 'a')}, 0} << "|||0|1";
        QTest::newRow("several names")
            << int(Cmdlg::kAllowMultiSelect)
            << Dialogs::FileAnswer{true, {"/data/A.KRD", "/data/B.KRD"}, 0} << several + "|||1|0";
        QTest::newRow("one name of several allowed")
            << int(Cmdlg::kAllowMultiSelect) << Dialogs::FileAnswer{true, {"/data/A.KRD"}, 0}
            << "/data/A.KRD|A.KRD|KRD|0|0";
        QTest::newRow("extension after the last dot")
            << int(Cmdlg::kOverwritePrompt)
            << Dialogs::FileAnswer{true, {"/home/agent/agents.list.csv"}, 0}
            << "/home/agent/agents.list.csv|agents.list.csv|csv|0|0";
    }
    void choiceIsReadBack()
    {
        QFETCH(int, flags);
        QFETCH(Dialogs::FileAnswer, answer);
        QFETCH(QString, reported);
        Cmdlg dialog("/opt/kora/");
        dialog.setFileName("EXPORT.CSV");
        dialog.setFiletitle("EXPORT.CSV");
        dialog.setFlags(flags);
        Dialogs::FileRequest asked;
        Dialogs::setFileScript([&](const Dialogs::FileRequest& request) {
            asked = request;
            return answer;
        });
        dialog.ShowOpen();
        QCOMPARE(asked.kind, Dialogs::FileRequest::Kind::Open);
        QCOMPARE(asked.title, QString("/opt/kora/"));
        QCOMPARE(asked.multiSelect, (flags & Cmdlg::kAllowMultiSelect) != 0);
        QCOMPARE(QStringList({dialog.FileName(), dialog.Filetitle(), dialog.FileExtension(),
                              QString::number(dialog.MultiSelect()),
                              QString::number(dialog.CancelPressed())})
                     .join('|'),
                 reported);
    }

    void saveDialogShowsEveryPropertyAndAddsTheDefaultExtension()
    {
        kora::test::TempFolder folder;
        Cmdlg dialog("/opt/kora/");
        dialog.setDialogTitle("Save KORA Export");
        dialog.setInitDir(QString::fromStdString(folder.path()));
        dialog.setFilter(exportFilter());
        dialog.setFilterIndex(2);
        dialog.setDefaultExtension("*.csv");
        dialog.setFileName("EXPORT");
        dialog.setFlags(Cmdlg::kOverwritePrompt);
        QStringList shown;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] {
            auto* window = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!window)
                return;
            timer.stop();
            shown << window->windowTitle() << window->findChild<QLineEdit*>("fileNameEdit")->text()
                  << window->selectedNameFilter()
                  << (window->testOption(QFileDialog::DontConfirmOverwrite) ? "no prompt"
                                                                            : "prompt");
            QMetaObject::invokeMethod(window, "accept");
        });
        timer.start(20);
        dialog.ShowSave();
        QCOMPARE(shown,
                 QStringList({"Save KORA Export", "EXPORT", "CSV / Excel (*.csv)", "prompt"}));
        QCOMPARE(dialog.CancelPressed(), false);
        QCOMPARE(QFileInfo(dialog.FileName()).absoluteFilePath(),
                 QFileInfo(QString::fromStdString(folder.file("EXPORT.csv"))).absoluteFilePath());
        QCOMPARE(dialog.Filetitle() + "|" + dialog.FileExtension(), QString("EXPORT.csv|csv"));
    }
};

QTEST_MAIN(CmdlgTest)
#include "CmdlgTest.moc"
