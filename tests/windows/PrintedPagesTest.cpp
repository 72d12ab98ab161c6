#include "PrintFixture.h"
#include "support/PdfText.h"

#include <QRegularExpression>
#include <QtTest>

using namespace kora;
using namespace kora::test;

class PrintedPagesTest : public QObject
{
    Q_OBJECT

private slots:
    void expirationSortIsByMonthAndDayWhateverTheYear()
    {
        PrintFixture fixture;
        // Zenith renews in March; the bakery at the year's end, though its newest
        // mod is older and an older one expired in January.
        fixture.addMod("1000001", "2026-01-20", "2026-03-15", "2027-03-15", 0.91);
        fixture.addMod("1000001", "2025-01-20", "2025-03-15", "2026-03-15", 0.95);
        fixture.addMod("1000003", "2024-11-20", "2024-12-31", "2025-12-31", 1.12);
        fixture.addMod("1000003", "2022-12-01", "2023-01-01", "2024-01-01", 1.05);
        // Without mods: no expiration, printed after the others.
        fixture.addCompany("1000004", "01", {{"NAME1", "BARE SHELF CO"}, {"Omit", " "}});
        printThrough(fixture, fixture.lookup(), "FULL", "EXPIRE");
        QCOMPARE(pdfPages(fixture.pdf()), 3);
        for (const auto& [page, name] :
             {std::pair{1, "ZENITH TOOL"}, {2, "ACORN BAKERY"}, {3, "BARE SHELF CO"}})
            QVERIFY2(QString::fromStdString(pdfText(fixture.pdf(), page)).contains(name), name);
    }

    void aLongNoteGoesOnToAPageNamingItsCompany()
    {
        PrintFixture fixture;
        std::string note;
        QStringList expected;
        for (int n = 1; n <= 40; ++n) {
            expected << QString("Call %1:").arg(n);
            note += expected.last().toStdString() +
                    " the owner asked for a quote before the renewal and a copy of the loss "
                    "runs for the last three years. ";
        }
        fixture.db()
            .prepare("UPDATE NOTES SET NOTES = ? WHERE FILE = '1000003'")
            .bind(1, Value(note))
            .run();
        printThrough(fixture, fixture.lookup(), "FULL", "NAME1");
        QCOMPARE(pdfPages(fixture.pdf()), 3);
        const QString first = QString::fromStdString(pdfText(fixture.pdf(), 1));
        const QString second = QString::fromStdString(pdfText(fixture.pdf(), 2));
        QVERIFY(second.contains("ACORN BAKERY - notes continued"));
        QVERIFY(second.contains("BAKERS AND TOOLMAKERS"));
        QVERIFY(!second.contains("Mod History"));
        // Every call once, in order, over both pages (a line may end inside one).
        const QString both = (first + second).simplified();
        QStringList calls;
        for (const QRegularExpressionMatch& call :
             QRegularExpression("Call \\d+:").globalMatch(both))
            calls << call.captured();
        QCOMPARE(calls, expected);
        QVERIFY(second.contains("Call 40:"));
        QVERIFY(QString::fromStdString(pdfText(fixture.pdf(), 3)).contains("ZENITH TOOL"));
    }

    // The label after the bakery's, in points: 2-5/8" x 1" laser labels three
    // across from 3/16" and 1/2" margins with 1/8" gaps; 3-1/2" x 15/16" dot
    // matrix labels one across, 1/4" from the left, 1" from label to label.
    void aLongNameIsShrunkWholeInsideItsLabel_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QRectF>("label");
        QTest::newRow("laser") << "LASERLABEL" << QRectF(13.5 + 198, 36, 189, 72);
        QTest::newRow("dot matrix") << "DOTLABEL" << QRectF(18, 72, 252, 67.5);
    }
    void aLongNameIsShrunkWholeInsideItsLabel()
    {
        QFETCH(QString, format);
        QFETCH(QRectF, label);
        PrintFixture fixture;
        const std::string longName = "MOUNTAIN VIEW MECHANICAL CONTRACTORS INC";
        fixture.addCompany("1000004", "01",
                           {{"NAME1", longName},
                            {"STREET", "4410 INDUSTRIAL PARK BLVD"},
                            {"CITY", "HARRISBURG"},
                            {"ST", "PA"},
                            {"ZIP", "17109"},
                            {"Omit", " "}});
        printThrough(fixture, fixture.lookup(), format.toLatin1().constData(), "NAME1");
        const auto words = pdfWords(fixture.pdf(), 1);
        const auto name = wordsSpelling(words, longName);
        const auto shortName = wordsSpelling(words, "ACORN BAKERY");
        const auto street = wordsSpelling(words, "4410 INDUSTRIAL PARK BLVD");
        QVERIFY2(!name.empty() && !shortName.empty() && !street.empty(),
                 pdfText(fixture.pdf()).c_str());
        for (const PdfWord& word : name) {
            QVERIFY2(word.xMin >= label.left() && word.xMax <= label.right(), word.text.c_str());
            QVERIFY2(word.yMin >= label.top() && word.yMax <= label.bottom(), word.text.c_str());
            QCOMPARE(word.height(), name.front().height());
        }
        QVERIFY(name.front().height() < shortName.front().height() * 0.99);
        QCOMPARE(street.front().height(), shortName.front().height());
    }

    // The first company of each state has its specifics (regular expressions
    // over the first page's text), the second none.
    void newYorkAndNewJerseyDetailPages_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("NY") << "NY"
                            << QStringList{"State: NY",
                                           "FULL ADDRESS\\s+EMPIRE GLASS WORKS",
                                           "ATTN: ROSE PARK\\s+12 PIER RD\\s+BUFFALO NY 14201-3304",
                                           "REVISED\\s+Yes",
                                           "INTERSTATE\\s+No",
                                           "01/10/2025\\s+02/16/2026\\s+0\\.912",
                                           "02/13/2025\\s+0\\.947"}
                            // The lookup print leaves New York's effective dates out.
                            << QStringList{"02/15/2025", "02/14/2024", "assigned risk"};
        QTest::newRow("NJ") << "NJ"
                            << QStringList{"State: NJ",
                                           "N\\.J\\. assigned risk since 07/98",
                                           "Est\\. premium 12,500.*Total premium 14,200",
                                           "Total losses 3,100",
                                           "PPAP YES.*CCPAP NO",
                                           "01/10/2025\\s+02/15/2025\\s+02/16/2026\\s+0\\.912"}
                            << QStringList{"FULL ADDRESS", "REVISED", "0012500"};
    }
    void newYorkAndNewJerseyDetailPages()
    {
        QFETCH(QString, state);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        PrinterFixture fixture(state.toStdString());
        const std::string file = state == "NY" ? "244 88 12" : "2595735";
        fixture.addCompany(file, "01",
                           {{"NAME1", "EMPIRE GLASS WORKS"},
                            {"STREET", "12 PIER RD"},
                            {"CITY", "BUFFALO"},
                            {"ST", state.toStdString()},
                            {"ZIP", "14201"},
                            {"ZIPEXT", "3304"},
                            {"Omit", " "}});
        fixture.addCompany("9000001", "01", {{"NAME1", "ZEPHYR PLAIN CO"}, {"Omit", " "}});
        fixture.addMod(file, "2025-01-10", "2025-02-15", "2026-02-16", 0.912);
        fixture.addMod(file, "2024-01-09", "2024-02-14", "2025-02-13", 0.947);
        if (state == "NY") {
            fixture.db().execute(
                "UPDATE PRIME SET REVISED = 1, INTERSTATE = 0 WHERE NAME1 = 'EMPIRE GLASS WORKS'");
            fixture.db()
                .prepare("INSERT INTO ADDRESSES (FILE, SEQUENCE, ADDRESSES) VALUES (?, '01', ?)")
                .bindAll({file, "EMPIRE GLASS WORKS\r\nATTN: ROSE PARK\r\n12 PIER RD\r\n"
                                "BUFFALO NY 14201-3304\r\n"})
                .run();
        } else {
            fixture.db().execute("UPDATE PRIME SET NJAR = 9807, ARESTPREM = '0012500', "
                                 "ARTOTPREM = '0014200', ARTOTLOSS = '0003100', NJPPAP = 'YES', "
                                 "NJCCPAP = 'NO' WHERE NAME1 = 'EMPIRE GLASS WORKS'");
        }
        printThrough(fixture, {"SELECT * FROM PRIME ORDER BY NAME1", state + " GLASS", 2}, "FULL",
                     "NAME1");
        QCOMPARE(pdfPages(fixture.pdf()), 2);
        const QString first = QString::fromStdString(pdfText(fixture.pdf(), 1));
        for (const QString& pattern : present)
            QVERIFY2(first.contains(QRegularExpression(pattern)),
                     qPrintable(pattern + " not in\n" + first));
        for (const QString& pattern : absent)
            QVERIFY2(!first.contains(QRegularExpression(pattern)), qPrintable(pattern));
        const QString second = QString::fromStdString(pdfText(fixture.pdf(), 2));
        QVERIFY(second.contains("ZEPHYR PLAIN CO"));
        QVERIFY(!second.contains("assigned risk") && !second.contains("Yes"));
    }
};

QTEST_MAIN(PrintedPagesTest)
#include "PrintedPagesTest.moc"
