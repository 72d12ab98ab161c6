#include "windows/RatingClassesBox.h"

#include "widgets/RowGrid.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace kora {

RatingClassesBox::RatingClassesBox(QWidget* parent)
    : QGroupBox(QStringLiteral("C&lasses"), parent), m_model(new QStandardItemModel(0, 3, this))
{
    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("Code"), QStringLiteral("Class Description"), QStringLiteral("L. C.")});
    m_grid = makeRowGrid("TDBGrid7", m_model, this);
    m_grid->setAlternatingRowColors(true);
    m_grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    (new QVBoxLayout(this))->addWidget(m_grid);
}

void RatingClassesBox::show(const std::vector<CompanyRecord::RatingClass>& classes)
{
    m_model->removeRows(0, m_model->rowCount());
    for (const CompanyRecord::RatingClass& rating : classes) {
        // Loss costs are rates with two decimals: 2.50, 0.12.
        const Value& rate = rating.lossCost;
        auto* lossCost =
            new QStandardItem(rate.isNull() ? QString() : QString::number(rate.toDouble(), 'f', 2));
        lossCost->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_model->appendRow({new QStandardItem(QString::fromStdString(rating.code)),
                            new QStandardItem(QString::fromStdString(rating.description)),
                            lossCost});
    }
    m_grid->resizeColumnToContents(0);
    m_grid->resizeColumnToContents(2);
}

} // namespace kora
