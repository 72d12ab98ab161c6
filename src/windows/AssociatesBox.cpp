#include "windows/AssociatesBox.h"

#include "widgets/RowGrid.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace kora {

namespace {

constexpr int kFileRole = Qt::UserRole;
constexpr int kSequenceRole = Qt::UserRole + 1;

} // namespace

AssociatesBox::AssociatesBox(QWidget* parent)
    : QGroupBox(QStringLiteral("Associated Companies"), parent),
      m_model(new QStandardItemModel(0, 1, this))
{
    m_model->setHorizontalHeaderLabels({QStringLiteral("NAME1")});
    m_grid = makeRowGrid("TDBGrid8", m_model, this);
    m_grid->setAlternatingRowColors(true);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->horizontalHeader()->hide();
    m_grid->setToolTip(QStringLiteral("Pick a company to show it in the list."));
    connect(m_grid, &QTableView::clicked, this, &AssociatesBox::pick);
    connect(m_grid, &QTableView::activated, this, &AssociatesBox::pick);
    (new QVBoxLayout(this))->addWidget(m_grid);
}

void AssociatesBox::show(const std::vector<CompanyRecord::Associate>& associates)
{
    m_model->removeRows(0, m_model->rowCount());
    for (const CompanyRecord::Associate& associate : associates) {
        auto* item = new QStandardItem(QString::fromStdString(associate.name));
        item->setData(QString::fromStdString(associate.file), kFileRole);
        item->setData(QString::fromStdString(associate.sequence), kSequenceRole);
        m_model->appendRow(item);
    }
}

void AssociatesBox::pick(const QModelIndex& index)
{
    if (index.isValid())
        emit picked(index.data(kFileRole).toString(), index.data(kSequenceRole).toString());
}

} // namespace kora
