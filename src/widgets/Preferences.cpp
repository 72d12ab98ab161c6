#include "widgets/Preferences.h"

#include <QSettings>

namespace kora {

namespace {

// A fresh reader each time: another KORA of the same agent may have written since.
QSettings store()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KORA"),
                     QStringLiteral("preferences"));
}

} // namespace

QVariant Preferences::value(const QString& key, const QVariant& fallback)
{
    return store().value(key, fallback);
}

void Preferences::setValue(const QString& key, const QVariant& value)
{
    QSettings settings = store();
    settings.setValue(key, value);
}

QString Preferences::group(const QString& name)
{
    return QString::fromLatin1(name.toUtf8().toPercentEncoding());
}

} // namespace kora
