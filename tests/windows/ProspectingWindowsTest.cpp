#include "database/Database.h"
#include "lookup/Criteria.h"
#include "support/BreakdownDatabase.h"
#include "windows/BreakdownWindow.h"
#include "windows/LiveCountLabel.h"
#include "windows/ModChart.h"

#include <QBarSet>
#include <QClipboard>
#include <QDate>
#include <QDateTime>
#include <QLineSeries>
#include <QPushButton>
#include <QValueAxis>
#include <QtTest>

using namespace kora;
using namespace std::chrono_literals;

namespace {

using StateDatabase = kora::test::BreakdownDatabase;

std::vector<ResultListData::Mod>
modsNewestFirst(const std::vector<std::pair<const char*, double>>& mods)
{
    std::vector<ResultListData::Mod> list;
    for (const auto& [effective, mod] : mods)
        list.push_back({effective, effective, effective, Value(mod)});
    return list;
}

qreal day(const char* date)
{
    return static_cast<qreal>(QDate::fromString(QString::fromLatin1(date), Qt::ISODate)
                                  .startOfDay(Qt::UTC)
                                  .toMSecsSinceEpoch());
}

QList<qreal> values(const QBarSet* bars)
{
    QList<qreal> list;
    for (int i = 0; i < bars->count(); ++i)
        list << bars->at(i);
    return list;
}

} // namespace

class ProspectingWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void saysCountingWhileACountTakesLong()
    {
        StateDatabase state;
        // A count that settles longer than the editor waits before it says so.
        LiveCountLabel label(state.db(), nullptr, 1500ms);
        label.countFor({kora::test::criterion(FieldCatalogue::County, "101", "101")});
        QCOMPARE(label.text(), QString());
        QTRY_COMPARE_WITH_TIMEOUT(label.text(), QStringLiteral("Counting\u2026"), 1200);
        QTRY_COMPARE(label.text(), QStringLiteral("3 companies match"));
    }

    void drawsTheModsOldestFirstWithALineAtOne()
    {
        ModChart chart;
        chart.setMods(modsNewestFirst({{"2026-07-01", 1.046},
                                       {"2025-07-01", 1.0},
                                       {"2024-07-01", 9.886},
                                       {"2023-07-01", 0.88}}));
        // The merit code is no mod; the newest stands at the right.
        QCOMPARE(chart.mods()->points(), (QList<QPointF>{{day("2023-07-01"), 0.88},
                                                         {day("2025-07-01"), 1.0},
                                                         {day("2026-07-01"), 1.046}}));
        QCOMPARE(chart.averageLine()->points(),
                 (QList<QPointF>{{day("2023-07-01"), 1.0}, {day("2026-07-01"), 1.0}}));
        QCOMPARE(QPointF(chart.modAxis()->min(), chart.modAxis()->max()), QPointF(0.7, 1.2));
        QCOMPARE(chart.chart()->title(), QString());
        chart.setMods({});
        QCOMPARE(chart.mods()->count(), 0);
        QCOMPARE(chart.chart()->title(), QStringLiteral("No mods on file"));
    }
    void countsEachGroupingWhenItIsShownAndCopiesTheTable()
    {
        StateDatabase state;
        BreakdownWindow all(state.db(), LookupStatement{}, QStringLiteral("All Companies"));
        QCOMPARE(all.windowTitle(), QStringLiteral("Breakdown - All Companies"));
        QCOMPARE(all.tableText(), QStringLiteral("003\tALLEGHENY\t2\n101\tPHILADELPHIA\t2\n"));
        QCOMPARE(all.findChild<QLabel*>(QStringLiteral("lblOmitted"))->text(),
                 QStringLiteral("1 company marked to leave out is not counted."));
        // Each grouping is counted when it is first shown.
        QVERIFY(all.table(Breakdown::By::ModBand) == nullptr);
        all.showGrouping(Breakdown::By::ModBand);
        // The bars read top down like the table: the chart draws the last first.
        QCOMPARE(values(all.bars(Breakdown::By::ModBand)), (QList<qreal>{1, 1, 1, 1}));
        QCOMPARE(all.tableText(),
                 QStringLiteral("1\tbelow 0.90\t1\n3\t1.00-1.09\t1\n4\t1.10-1.24\t1\n"
                                "5\t1.25 and above\t1\n"));

        LookupStatement lookup;
        lookup.condition = "COUNTY = '101'";
        lookup.orderBy = " ORDER BY NAME1";
        BreakdownWindow window(state.db(), lookup, QStringLiteral("Philadelphia"));
        window.showGrouping(Breakdown::By::ModBand);
        window.findChild<QPushButton*>(QStringLiteral("COPY"))->click();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("4\t1.10-1.24\t1\n5\t1.25 and above\t1\n"));
    }
};

QTEST_MAIN(ProspectingWindowsTest)
#include "ProspectingWindowsTest.moc"
