#include "shell/TITLE.h"

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
