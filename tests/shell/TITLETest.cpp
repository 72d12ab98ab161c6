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
        // A window clear of the splash stays where it is.
        const QPoint placed = workspace.pos();
        placeClearOf(&workspace, &splash);
        QCOMPARE(workspace.pos(), placed);
    }

    void showsTheVersionAndTheLoadProgress()
    {
        TITLE splash;
        splash.setVersion("2.30.0");
        static_cast<LoadProgress&>(splash).status("TOTAL COMPANIES ADDED IS 300");
        QStringList texts;
        for (const auto* label : splash.findChildren<QLabel*>())
            texts << label->text();
        QVERIFY(texts.contains("2.30.0"));
        QVERIFY(texts.contains("TOTAL COMPANIES ADDED IS 300"));
    }
};

QTEST_MAIN(TITLETest)
#include "TITLETest.moc"
