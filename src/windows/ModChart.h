#pragma once

#include "results/ResultListData.h"

#include <QChartView>

#include <vector>

class QCategoryAxis;
class QLineSeries;
class QValueAxis;

namespace kora {

// A company's mod history as a small line chart, oldest at the left and
// newest at the right, with a line at 1.00 for the mod of an average risk.
class ModChart : public QChartView
{
    Q_OBJECT

public:
    explicit ModChart(QWidget* parent = nullptr);

    // mods: newest first, as the mods grid holds them.
    void setMods(const std::vector<ResultListData::Mod>& mods);

    // x: the effective date as milliseconds since 1970, y: the mod.
    const QLineSeries* mods() const { return m_mods; }
    const QLineSeries* averageLine() const { return m_average; }
    const QValueAxis* modAxis() const { return m_modAxis; }
    // One label a year, oldest first.
    QStringList yearLabels() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void followColours();

    QLineSeries* m_mods;
    QLineSeries* m_average;
    QCategoryAxis* m_yearAxis;
    QValueAxis* m_modAxis;
};

} // namespace kora
