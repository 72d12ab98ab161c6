#include "shell/TITLE.h"

#include "widgets/CenterForm.h"

#include <QDialog>
#include <QLabel>
#include <QtTest>

using namespace kora;

class TITLETest : public QObject
{
    Q_OBJECT

private slots:
    void sizedFromItsPictureAndTitle()
    {
        TITLE splash;
        const auto* image = splash.findChild<QLabel*>("Image1");
        const auto* title = splash.findChild<QLabel*>("Label1");
        QCOMPARE(title->text(), QString("Kora"));
        // 800 and 1000 twips at 96 dots per inch.
        QCOMPARE(splash.height(), image->height() + 53);
        QCOMPARE(splash.width(), title->width() + image->width() + 67);
    }

    void aWindowShownDuringTheSplashLeavesItReadable()
    {
        TITLE splash;
        CENTERFORM(&splash);
        splash.show();
        QDialog workspace;
        workspace.resize(340, 130);
        CENTERFORM(&workspace);
        QVERIFY(workspace.frameGeometry().intersects(splash.frameGeometry()));
        placeClearOf(&workspace, &splash);
        workspace.show();
        QVERIFY(!workspace.frameGeometry().intersects(splash.frameGeometry()));
        QVERIFY(workspace.screen()->availableGeometry().contains(workspace.frameGeometry()));
        for (const char* text : {"Label1", "lblStatus"}) {
            const auto* label = splash.findChild<QLabel*>(text);
            QVERIFY(!QRect(label->mapToGlobal(QPoint(0, 0)), label->size())
                         .intersects(workspace.frameGeometry()));
        }
        // A window clear of the splash stays where it is.
        const QPoint placed = workspace.pos();
        placeClearOf(&workspace, &splash);
        QCOMPARE(workspace.pos(), placed);
    }

    void showsTheVersionAndTheLoadProgress()
    {
        TITLE splash;
        splash.setVersion("2.30.0");
        LoadProgress& progress = splash;
        progress.status("TOTAL COMPANIES ADDED IS 300");
        QCOMPARE(splash.findChild<QLabel*>("Label4")->text(), QString("2.30.0"));
        QCOMPARE(splash.findChild<QLabel*>("lblStatus")->text(),
                 QString("TOTAL COMPANIES ADDED IS 300"));
    }
};

QTEST_MAIN(TITLETest)
#include "TITLETest.moc"
