#pragma once

#include "results/CompanyRecord.h"

#include <QGroupBox>

#include <vector>

class QModelIndex;
class QStandardItemModel;
class QTableView;

namespace kora {

// The record window's Associated Companies box: the other companies of the
// file number, any of which the user may pick to show in the list.
class AssociatesBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit AssociatesBox(QWidget* parent);

    void show(const std::vector<CompanyRecord::Associate>& associates);
    QTableView* grid() const { return m_grid; }

signals:
    void picked(const QString& file, const QString& sequence);

private:
    void pick(const QModelIndex& index);

    QStandardItemModel* m_model;
    QTableView* m_grid; // TDBGrid8
};

} // namespace kora
