#include "windows/RatingClassesBox.h"

#include "widgets/RowGrid.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

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
    fitRows(0);
}

void RatingClassesBox::fitRows(int rows)
{
    // The grid is as tall as a whole number of rows: every row it shows is
    // whole, and more classes than fit scroll a row at a time.
    constexpr int kFewest = 3;
    constexpr int kMost = 4;
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setFixedHeight(m_grid->horizontalHeader()->sizeHint().height() +
                           std::clamp(rows, kFewest, kMost) *
                               m_grid->verticalHeader()->defaultSectionSize() +
                           2 * m_grid->frameWidth());
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
    fitRows(m_model->rowCount());
}

} // namespace kora
