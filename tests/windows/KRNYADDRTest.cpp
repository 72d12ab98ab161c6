#include "windows/KRNYADDR.h"

#include "ResultsFixture.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace kora;
using namespace kora::test;

class KRNYADDRTest : public QObject
{
    Q_OBJECT

private slots:
    void showsEveryLineOfTheAddress()
    {
        ResultsFixture data("NY");
        // Two load records of one employer, each line 35 characters.
        const QStringList lines = {
            "ACME TOOL CO                       ", "ATTN ACCOUNTS PAYABLE              ",
            "12 MILL RD                         ", "ALBANY NY 12207                    ",
            "SECOND RECORD LINE ONE             ", "PO BOX 77                          "};
        data.db()
            .prepare("INSERT INTO ADDRESSES (FILE, SEQUENCE, ADDRESSES) VALUES (?, ?, ?)")
            .bindAll({"123 45 67", "01", lines.join("\r\n").toStdString()})
            .run();

        KRNYADDR window(data.master(), "123 45 67", "01", "ACME TOOL CO");
        QCOMPARE(window.windowTitle(), QString("KRNYADDR - ACME TOOL CO"));
        window.show();
        auto* text = window.findChild<QPlainTextEdit*>("ADDRESSES");
        QCOMPARE(text->toPlainText(), lines.join("\n"));
        QVERIFY(text->isReadOnly());

        // Activating the window again repeats the look-up.
        text->clear();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_COMPARE(text->toPlainText(), lines.join("\n"));

        window.findChild<QPushButton*>("Command1")->click();
        QVERIFY(!window.isVisible());
        QVERIFY(data.messages().isEmpty());
    }

    void companyWithoutAnAddressShowsAnEmptyBox()
    {
        ResultsFixture data("NY");
        KRNYADDR window(data.master(), "999 99 99", "01", "NOBODY");
        window.show();
        QCOMPARE(window.findChild<QPlainTextEdit*>("ADDRESSES")->toPlainText(), QString());
        QCOMPARE(window.findChild<QPlainTextEdit*>("ADDRESSES")->placeholderText(),
                 QString("No full address is on file for this company."));
        QVERIFY(window.isVisible());
        QVERIFY(data.messages().isEmpty());
    }

    void missingDatabaseIsReportedByName()
    {
        ResultsFixture data("NY");
        const QString path = QString::fromStdString(data.programFolder()) + "KORANY.MDB";
        QVERIFY(QFile::rename(path, path + ".away"));
        KRNYADDR window(data.master(), "123 45 67", "01", "ACME TOOL CO");
        window.show();
        QCOMPARE(data.messages().size(), 1);
        QVERIFY2(data.messageTexts().first().contains(path), qPrintable(data.messageTexts()[0]));
        QTRY_VERIFY(!window.isVisible());
    }
};

QTEST_MAIN(KRNYADDRTest)
#include "KRNYADDRTest.moc"
