#include "widgets/LocalFormats.h"

#include "base/Dates.h"

#include <QDate>
#include <QPageSize>

namespace kora {

bool LocalFormats::hasLocale(const QLocale& locale)
{
    return locale.language() != QLocale::C;
}

QString LocalFormats::shortDate(const QDate& date, const QLocale& locale)
{
    if (!hasLocale(locale))
        return date.toString(QStringLiteral("MM/dd/yy"));
    return locale.toString(date, QLocale::ShortFormat);
}

QString LocalFormats::today(const QLocale& locale)
{
    return shortDate(QDate::fromString(QString::fromStdString(Dates::today()), Qt::ISODate),
                     locale);
}

QPageLayout LocalFormats::withLocalPaper(QPageLayout layout, const QLocale& locale)
{
    const QLocale::MeasurementSystem system =
        hasLocale(locale) ? locale.measurementSystem() : QLocale::ImperialUSSystem;
    layout.setUnits(system == QLocale::MetricSystem ? QPageLayout::Millimeter : QPageLayout::Inch);
    layout.setPageSize(
        QPageSize(system == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4));
    return layout;
}

} // namespace kora
