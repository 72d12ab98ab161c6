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
#include <QStandardItemModel>
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

QStringList rows(const QStandardItemModel* model)
{
    QStringList lines;
    for (int row = 0; row < model->rowCount(); ++row)
        lines << model->index(row, 0).data().toString() + "|" +
                     model->index(row, 1).data().toString() + "|" +
                     model->index(row, 2).data().toString();
    return lines;
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
        const QList<QPointF> points = chart.mods()->points();
        // The merit code is no mod; the newest stands at the right.
        QCOMPARE(points.size(), 3);
        QCOMPARE(points[0], QPointF(day("2023-07-01"), 0.88));
        QCOMPARE(points[1], QPointF(day("2025-07-01"), 1.0));
        QCOMPARE(points[2], QPointF(day("2026-07-01"), 1.046));
        const QList<QPointF> average = chart.averageLine()->points();
        QCOMPARE(average, (QList<QPointF>{{day("2023-07-01"), 1.0}, {day("2026-07-01"), 1.0}}));
        QCOMPARE(chart.modAxis()->min(), 0.7);
        QCOMPARE(chart.modAxis()->max(), 1.2);
        QCOMPARE(chart.modAxis()->tickInterval(), 0.1);
        QCOMPARE(chart.chart()->title(), QString());
        chart.setMods({});
        QCOMPARE(chart.mods()->count(), 0);
        QCOMPARE(chart.chart()->title(), QStringLiteral("No mods on file"));
    }
    void countsEachGroupingWhenItIsShown()
    {
        StateDatabase state;
        BreakdownWindow window(state.db(), LookupStatement{}, QStringLiteral("All Companies"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Breakdown - All Companies"));
        QCOMPARE(rows(window.table(Breakdown::By::County)),
                 (QStringList{"003|ALLEGHENY|2", "101|PHILADELPHIA|2"}));
        QCOMPARE(window.tableText(), QStringLiteral("003\tALLEGHENY\t2\n101\tPHILADELPHIA\t2\n"));
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("lblOmitted"))->text(),
                 QStringLiteral("1 company marked to leave out is not counted."));
        // Each grouping is counted when it is first shown.
        QVERIFY(window.table(Breakdown::By::ModBand) == nullptr);
        window.showGrouping(Breakdown::By::ModBand);
        QCOMPARE(rows(window.table(Breakdown::By::ModBand)),
                 (QStringList{"1|below 0.90|1", "3|1.00-1.09|1", "4|1.10-1.24|1",
                              "5|1.25 and above|1"}));
        // The bars read top down like the table: the chart draws the last first.
        QCOMPARE(values(window.bars(Breakdown::By::ModBand)), (QList<qreal>{1, 1, 1, 1}));

        window.showGrouping(Breakdown::By::SicGroup);
        window.showGrouping(Breakdown::By::ExpirationMonth);
        QCOMPARE(window.tableText(), QStringLiteral("03\tMarch\t2\n11\tNovember\t2\n"));
    }

    void countsTheLookupsCompaniesAndCopiesTheTable()
    {
        StateDatabase state;
        LookupStatement lookup;
        lookup.condition = "COUNTY = '101'";
        lookup.orderBy = " ORDER BY NAME1";
        BreakdownWindow window(state.db(), lookup, QStringLiteral("Philadelphia"));
        window.showGrouping(Breakdown::By::ModBand);
        QCOMPARE(rows(window.table(Breakdown::By::ModBand)),
                 (QStringList{"4|1.10-1.24|1", "5|1.25 and above|1"}));
        QCOMPARE(values(window.bars(Breakdown::By::ModBand)), (QList<qreal>{1, 1}));
        window.findChild<QPushButton*>(QStringLiteral("COPY"))->click();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("4\t1.10-1.24\t1\n5\t1.25 and above\t1\n"));
    }
};

QTEST_MAIN(ProspectingWindowsTest)
#include "ProspectingWindowsTest.moc"
