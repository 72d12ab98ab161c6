#pragma once

#include "lookup/SQLPARAMETER.h"

#include <QLabel>

#include <chrono>
#include <memory>
#include <vector>

class QTimer;

namespace kora {

class Database;
class LiveCount;

// The line of the lookup editor that says how many companies the lookup
// matches as it stands. The count runs on a thread of its own; while it is
// still running after a short while the line says "Counting…".
class LiveCountLabel : public QLabel
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kSettle{150};
    static constexpr std::chrono::milliseconds kCountingAfter{300};

    // database: the open state database; the count reads its file on a
    // read-only connection of its own.
    LiveCountLabel(const Database& database, QWidget* parent,
                   std::chrono::milliseconds settle = kSettle);
    ~LiveCountLabel() override;

    // Counts the companies of a lookup of these criteria; an earlier count
    // still to come is forgotten.
    void countFor(const std::vector<SQLPARAMETER>& criteria);

private:
    void showResult(long long request, long long companies, const QString& error);

    std::unique_ptr<LiveCount> m_count;
    QTimer* m_countingShown;
    long long m_request = 0;
};

} // namespace kora
