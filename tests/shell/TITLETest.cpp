#include "shell/TITLE.h"

#include "widgets/CenterForm.h"

#include <QDialog>
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
        const QPoint placed = workspace.pos();
        placeClearOf(&workspace, &splash);
        QCOMPARE(workspace.pos(), placed);
    }
};

QTEST_MAIN(TITLETest)
#include "TITLETest.moc"
