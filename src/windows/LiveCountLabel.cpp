#include "windows/LiveCountLabel.h"

#include "database/Database.h"
#include "results/LiveCount.h"

#include <QTimer>

namespace kora {

LiveCountLabel::LiveCountLabel(const Database& database, QWidget* parent,
                               std::chrono::milliseconds settle)
    : QLabel(parent), m_countingShown(new QTimer(this))
{
    setObjectName(QStringLiteral("lblCount"));
    m_countingShown->setSingleShot(true);
    m_countingShown->setInterval(kCountingAfter);
    connect(m_countingShown, &QTimer::timeout, this,
            [this] { setText(QStringLiteral("Counting\u2026")); });
    try {
        m_count = std::make_unique<LiveCount>(
            database.reader(), settle, [this](const LiveCount::Result& result) {
                // From the counting thread to the window's own.
                QMetaObject::invokeMethod(
                    this,
                    [this, result] {
                        showResult(result.request, result.companies,
                                   QString::fromStdString(result.error));
                    },
                    Qt::QueuedConnection);
            });
    } catch (const DbError& error) {
        // The editor works without a count.
        setToolTip(QString::fromUtf8(error.what()));
    }
}

LiveCountLabel::~LiveCountLabel() = default;

void LiveCountLabel::countFor(const std::vector<SQLPARAMETER>& criteria)
{
    if (!m_count)
        return;
    m_request = m_count->request(criteria);
    m_countingShown->start();
}

void LiveCountLabel::showResult(long long request, long long companies, const QString& error)
{
    if (request != m_request)
        return;
    m_countingShown->stop();
    if (error.isEmpty()) {
        setText(QString::fromStdString(LiveCount::text(companies)));
        setToolTip(QString());
    } else {
        setText(QStringLiteral("The companies could not be counted."));
        setToolTip(error);
    }
}

} // namespace kora
