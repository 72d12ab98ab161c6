#include "windows/ChartPalette.h"

#include <QAbstractAxis>
#include <QChart>
#include <QPalette>

namespace kora {

void followPalette(QChart* chart, const QPalette& palette)
{
    chart->setBackgroundBrush(palette.base());
    chart->setBackgroundPen(Qt::NoPen);
    chart->setTitleBrush(palette.text());
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setLabelsBrush(palette.text());
        axis->setTitleBrush(palette.text());
        axis->setLinePenColor(palette.color(QPalette::Mid));
        axis->setGridLineColor(palette.color(QPalette::Midlight));
    }
}

} // namespace kora
