#include "windows/ModChart.h"

#include "results/ModHistory.h"

#include <QDate>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace kora {

namespace {

qreal dateValue(const std::string& date)
{
    const QDate day = QDate::fromString(QString::fromStdString(date), Qt::ISODate);
    return static_cast<qreal>(day.startOfDay(Qt::UTC).toMSecsSinceEpoch());
}

} // namespace

ModChart::ModChart(QWidget* parent)
    : QChartView(parent), m_mods(new QLineSeries), m_average(new QLineSeries),
      m_dateAxis(new QDateTimeAxis), m_modAxis(new QValueAxis)
{
    setObjectName(QStringLiteral("ModChart"));
    setRenderHint(QPainter::Antialiasing);
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 2, 2));
    m_mods->setName(QStringLiteral("Mod"));
    m_mods->setPointsVisible(true);
    m_average->setName(QStringLiteral("1.00"));
    QPen dashed(Qt::darkGray);
    dashed.setStyle(Qt::DashLine);
    m_average->setPen(dashed);
    chart->addSeries(m_average);
    chart->addSeries(m_mods);
    m_dateAxis->setFormat(QStringLiteral("yyyy"));
    m_modAxis->setLabelFormat(QStringLiteral("%.2f"));
    m_modAxis->setTickType(QValueAxis::TicksDynamic);
    m_modAxis->setTickAnchor(0.0);
    chart->addAxis(m_dateAxis, Qt::AlignBottom);
    chart->addAxis(m_modAxis, Qt::AlignLeft);
    for (QLineSeries* series : {m_mods, m_average}) {
        series->attachAxis(m_dateAxis);
        series->attachAxis(m_modAxis);
    }
    setChart(chart);
    setMinimumHeight(140);
    setMods({});
}

void ModChart::setMods(const std::vector<ResultListData::Mod>& mods)
{
    const ModHistory history(mods);
    QList<QPointF> points;
    for (const ModHistory::Point& point : history.oldestFirst())
        points.append({dateValue(point.effective), point.mod});
    m_mods->replace(points);
    chart()->setTitle(points.isEmpty() ? QStringLiteral("No mods on file") : QString());

    // The axes hold every mod and the line at 1.00, a year either side of a
    // single mod.
    const qreal year = 365.25 * 24 * 3600 * 1000;
    const qreal first = points.isEmpty() ? dateValue("2000-01-01") : points.front().x();
    const qreal last = points.isEmpty() ? first : points.back().x();
    const qreal left = first == last ? first - year / 2 : first;
    const qreal right = first == last ? last + year / 2 : last;
    m_dateAxis->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(left), Qt::UTC),
                         QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(right), Qt::UTC));
    m_dateAxis->setTickCount(std::clamp(static_cast<int>(points.size()), 2, 7));
    m_average->replace({QPointF(left, 1.0), QPointF(right, 1.0)});

    qreal low = 1.0;
    qreal high = 1.0;
    for (const QPointF& point : points) {
        low = std::min(low, point.y());
        high = std::max(high, point.y());
    }
    const qreal bottom = std::floor(low * 10 - 1) / 10;
    const qreal top = std::ceil(high * 10 + 1) / 10;
    m_modAxis->setRange(bottom, top);
    // Ticks on tenths, or fifths when the range is wide.
    m_modAxis->setTickInterval(top - bottom > 0.85 ? 0.2 : 0.1);
}

} // namespace kora
