#pragma once

#include <QLocale>
#include <QPageLayout>
#include <QString>

class QDate;

namespace kora {

// Dates and paper as the user's locale has them. A machine without a locale
// of its own (the C or POSIX locale) gets the US forms used throughout KORA:
// dates as MM/DD/YY, US Letter paper measured in inches.
class LocalFormats
{
public:
    // Whether the locale is a real one rather than C or POSIX.
    static bool hasLocale(const QLocale& locale = QLocale());
    // A date in the locale's short format, or as MM/DD/YY.
    static QString shortDate(const QDate& date, const QLocale& locale = QLocale());
    // Today's date as shortDate writes it.
    static QString today(const QLocale& locale = QLocale());
    // The layout with the locale's paper and units, its margins and
    // orientation kept: US Letter and inches unless the locale measures in
    // metric (A4 and millimetres) or is British (A4 and inches).
    static QPageLayout withLocalPaper(QPageLayout layout, const QLocale& locale = QLocale());
};

} // namespace kora
