#include "windows/ModChart.h"

#include "results/ModHistory.h"
#include "windows/ChartPalette.h"

#include <QCategoryAxis>
#include <QDate>
#include <QDateTime>
#include <QEvent>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace kora {

namespace {

qreal dateValue(const QDate& day)
{
    return static_cast<qreal>(day.startOfDay(Qt::UTC).toMSecsSinceEpoch());
}

qreal dateValue(const std::string& date)
{
    return dateValue(QDate::fromString(QString::fromStdString(date), Qt::ISODate));
}

int yearOf(qreal value)
{
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(value), Qt::UTC).date().year();
}

} // namespace

ModChart::ModChart(QWidget* parent)
    : QChartView(parent), m_mods(new QLineSeries), m_average(new QLineSeries),
      m_yearAxis(new QCategoryAxis), m_modAxis(new QValueAxis)
{
    setObjectName(QStringLiteral("ModChart"));
    setRenderHint(QPainter::Antialiasing);
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 2, 2));
    m_mods->setName(QStringLiteral("Mod"));
    m_mods->setPointsVisible(true);
    m_average->setName(QStringLiteral("1.00"));
    chart->addSeries(m_average);
    chart->addSeries(m_mods);
    // Each year the mods span is a band with its label in the middle.
    m_yearAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    m_modAxis->setLabelFormat(QStringLiteral("%.2f"));
    m_modAxis->setTickType(QValueAxis::TicksDynamic);
    m_modAxis->setTickAnchor(0.0);
    chart->addAxis(m_yearAxis, Qt::AlignBottom);
    chart->addAxis(m_modAxis, Qt::AlignLeft);
    for (QLineSeries* series : {m_mods, m_average}) {
        series->attachAxis(m_yearAxis);
        series->attachAxis(m_modAxis);
    }
    setChart(chart);
    setMinimumHeight(120);
    followColours();
    setMods({});
}

QStringList ModChart::yearLabels() const
{
    return m_yearAxis->categoriesLabels();
}

void ModChart::changeEvent(QEvent* event)
{
    QChartView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        followColours();
}

void ModChart::followColours()
{
    followPalette(chart(), palette());
    QPen dashed(palette().color(QPalette::Mid));
    dashed.setStyle(Qt::DashLine);
    m_average->setPen(dashed);
}

void ModChart::setMods(const std::vector<ResultListData::Mod>& mods)
{
    const ModHistory history(mods);
    QList<QPointF> points;
    for (const ModHistory::Point& point : history.oldestFirst())
        points.append({dateValue(point.effective), point.mod});
    m_mods->replace(points);
    chart()->setTitle(points.isEmpty() ? QStringLiteral("No mods on file") : QString());

    // The axes hold every mod and the line at 1.00, from the start of the
    // oldest mod's year to the end of the newest's.
    const int firstYear = points.isEmpty() ? 2000 : yearOf(points.front().x());
    const int lastYear = points.isEmpty() ? firstYear : yearOf(points.back().x());
    for (const QString& label : m_yearAxis->categoriesLabels())
        m_yearAxis->remove(label);
    const qreal left = dateValue(QDate(firstYear, 1, 1));
    m_yearAxis->setStartValue(left);
    for (int year = firstYear; year <= lastYear; ++year)
        m_yearAxis->append(QString::number(year), dateValue(QDate(year + 1, 1, 1)));
    const qreal right = dateValue(QDate(lastYear + 1, 1, 1));
    m_yearAxis->setRange(left, right);
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
    // At most four steps between ticks, so that the small chart never crowds
    // its labels.
    constexpr qreal kSteps[] = {0.1, 0.2, 0.25, 0.5, 1.0, 2.0, 5.0};
    qreal step = kSteps[0];
    for (qreal candidate : kSteps) {
        step = candidate;
        if ((top - bottom) / step <= 4.0 + 1e-9)
            break;
    }
    m_modAxis->setTickInterval(step);
}

} // namespace kora
