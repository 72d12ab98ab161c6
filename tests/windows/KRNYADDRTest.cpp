#include "windows/KRNYADDR.h"

#include "ResultsFixture.h"

#include <QPlainTextEdit>
#include <QtTest>

using namespace kora;
using namespace kora::test;

class KRNYADDRTest : public QObject
{
    Q_OBJECT

private slots:
    void showsEveryLineOfTheAddressOrNoneOrTheMissingDatabase()
    {
        ResultsFixture data("NY");
        // Two load records of one employer, each line 35 characters.
        const QStringList lines = {"ACME TOOL CO                       ",
                                   "12 MILL RD                         ",
                                   "SECOND RECORD LINE ONE             "};
        data.db()
            .prepare("INSERT INTO ADDRESSES (FILE, SEQUENCE, ADDRESSES) VALUES (?, ?, ?)")
            .bindAll({"123 45 67", "01", lines.join("\r\n").toStdString()})
            .run();
        KRNYADDR window(data.master(), "123 45 67", "01", "ACME TOOL CO");
        window.show();
        auto* text = window.findChild<QPlainTextEdit*>("ADDRESSES");
        // Activating the window again repeats the look-up.
        text->clear();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_COMPARE(text->toPlainText(), lines.join("\n"));
        KRNYADDR nobody(data.master(), "999 99 99", "01", "NOBODY");
        nobody.show();
        QCOMPARE(nobody.findChild<QPlainTextEdit*>("ADDRESSES")->toPlainText(), QString());
        QVERIFY(nobody.isVisible() && data.messages().isEmpty());

        const QString path = QString::fromStdString(data.programFolder()) + "KORANY.MDB";
        QVERIFY(QFile::rename(path, path + ".away"));
        KRNYADDR missing(data.master(), "123 45 67", "01", "ACME TOOL CO");
        missing.show();
        QCOMPARE(data.messages().size(), 1);
        QVERIFY2(data.messageTexts().first().contains(path), qPrintable(data.messageTexts()[0]));
        QTRY_VERIFY(!missing.isVisible());
    }
};

QTEST_MAIN(KRNYADDRTest)
#include "KRNYADDRTest.moc"
