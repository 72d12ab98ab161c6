#include "windows/PickListPanel.h"

#include "database/DbError.h"
#include "lookup/CodedValues.h"
#include "lookup/CriterionRules.h"
#include "widgets/Dialogs.h"
#include "widgets/RowGrid.h"
#include "windows/PickListModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace kora {

PickListPanel::PickListPanel(Database& db, QWidget* parent)
    : QWidget(parent), m_db(db), m_searchFor(new QLineEdit(this)),
      m_searchLabel(new QLabel(QStringLiteral("Search for"), this)),
      m_model(new PickListModel(this)), m_grid(makeRowGrid("TDBGrid5", m_model, this))
{
    m_searchFor->setObjectName(QStringLiteral("SFOR"));
    m_searchLabel->setBuddy(m_searchFor);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    auto* search = new QHBoxLayout;
    search->addWidget(m_searchLabel);
    search->addWidget(m_searchFor, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(search);
    layout->addWidget(m_grid, 1);

    connect(m_searchFor, &QLineEdit::textEdited, this, &PickListPanel::search);
    connect(m_grid, &QTableView::clicked, this,
            [this](const QModelIndex& index) { pick(index.row()); });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { fill(m_field, column); });
    clear();
}

void PickListPanel::clear()
{
    for (QWidget* part : std::initializer_list<QWidget*>{m_searchLabel, m_searchFor, m_grid})
        part->hide();
    m_searchFor->clear();
    m_field = -1;
}

void PickListPanel::showFor(int position)
{
    clear();
    // The bands and merit classes are few: their boxes have drop-downs instead.
    if (!CriterionRules::pickList(position) || CodedValues::isCoded(position))
        return;
    for (QWidget* part : std::initializer_list<QWidget*>{m_searchLabel, m_searchFor, m_grid})
        part->show();
    fill(position, 1); // by name
}

void PickListPanel::fill(int position, int sortColumn)
{
    const CriterionRules::PickList* list = CriterionRules::pickList(position);
    if (!list)
        return;
    try {
        m_model->load(
            m_db, CriterionRules::pickListQuery(position, sortColumn), list->code,
            list->description,
            {QString::fromLatin1(list->codeHeader), QString::fromLatin1(list->descriptionHeader)},
            sortColumn);
    } catch (const DbError& error) {
        Dialogs::tell(this, QStringLiteral("Enter Selection Parameters"),
                      QStringLiteral("The list of ") + QString::fromLatin1(list->table) +
                          QStringLiteral(" could not be read: ") + QString::fromUtf8(error.what()),
                      QMessageBox::Warning);
        // No codes of another field may be picked from a list left as it was.
        clear();
        return;
    }
    m_field = position;
    m_sortColumn = sortColumn;
    m_grid->resizeColumnToContents(0);
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
}

void PickListPanel::search(const QString& text)
{
    const int row = m_model->firstAtOrAfter(m_sortColumn, text);
    if (row < 0)
        return;
    const QModelIndex index = m_model->index(row, m_sortColumn);
    m_grid->setCurrentIndex(index);
    m_grid->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void PickListPanel::pickCurrent()
{
    pick(m_grid->currentIndex().row());
}

void PickListPanel::pick(int row)
{
    if (m_field >= 0 && row >= 0 && row < m_model->rowCount())
        emit picked(m_field, m_model->code(row));
}

} // namespace kora
