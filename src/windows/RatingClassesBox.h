#pragma once

#include "results/CompanyRecord.h"

#include <QGroupBox>

#include <vector>

class QStandardItemModel;
class QTableView;

namespace kora {

// The record window's Classes box: code, description and loss cost of each
// of the company's rating classes.
class RatingClassesBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit RatingClassesBox(QWidget* parent);

    void show(const std::vector<CompanyRecord::RatingClass>& classes);
    QTableView* grid() const { return m_grid; }

private:
    void fitRows(int rows);

    QStandardItemModel* m_model;
    QTableView* m_grid; // TDBGrid7
};

} // namespace kora
